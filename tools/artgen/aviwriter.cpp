#include "tools/artgen/aviwriter.h"

#include <stdexcept>
#include <string_view>

#include "tools/artgen/bytewriter.h"
#include "tools/artgen/dibheader.h"
#include "tools/artgen/palette.h"

namespace artgen {

namespace {

constexpr std::uint32_t kHasIndex = 0x10;  // AVIF_HASINDEX
constexpr std::uint32_t kKeyFrame = 0x10;  // AVIIF_KEYFRAME
constexpr std::size_t kPaletteSize = 256;

// A chunk whose size is patched in when it ends; RIFF pads every chunk to an even length.
class Chunk {
public:
    Chunk(ByteWriter& out, std::string_view id, std::string_view listType = {}) : m_out(out) {
        m_out.FourCC(id);
        m_sizeAt = m_out.Size();
        m_out.U32(0);
        if (!listType.empty()) {
            m_out.FourCC(listType);
        }
    }
    ~Chunk() {
        m_out.PatchU32(m_sizeAt, static_cast<std::uint32_t>(m_out.Size() - m_sizeAt - 4));
        if (m_out.Size() % 2 != 0) {
            m_out.U8(0);
        }
    }
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

private:
    ByteWriter& m_out;
    std::size_t m_sizeAt;
};

bool Uncovered(const Color& pixel) {
    return Color::ToByte(pixel.a) == 0;
}

Palette ClipPalette(const AviClip& clip) {
    std::vector<Rgb8> samples;
    for (const Canvas& frame : clip.frames) {
        for (int y = 0; y < frame.Height(); ++y) {
            for (int x = 0; x < frame.Width(); ++x) {
                if (!Uncovered(frame.At(x, y))) {
                    samples.push_back(frame.Over(x, y, clip.matte));
                }
            }
        }
    }
    Palette palette({clip.key}, samples, kPaletteSize);
    for (std::size_t i = 1; i < palette.Size(); ++i) {
        if (palette[i] == clip.key) {
            throw std::runtime_error("the drawing uses the clip's transparent colour");
        }
    }
    return palette;
}

std::vector<std::uint8_t> FrameBits(const Canvas& frame, const AviClip& clip, Palette& palette) {
    const std::uint32_t stride = DibHeader::Stride(frame.Width(), 8);
    ByteWriter out;
    for (int y = frame.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < frame.Width(); ++x) {
            out.U8(Uncovered(frame.At(x, y)) ? 0
                                             : palette.Nearest(frame.Over(x, y, clip.matte), 1));
        }
        out.Zeros(stride - static_cast<std::uint32_t>(frame.Width()));
    }
    return out.Data();
}

}  // namespace

std::vector<std::uint8_t> EncodeAvi(const AviClip& clip) {
    if (clip.frames.empty() || clip.microSecondsPerFrame == 0) {
        throw std::invalid_argument("a clip needs frames and a frame time");
    }
    const int width = clip.frames.front().Width();
    const int height = clip.frames.front().Height();
    for (const Canvas& frame : clip.frames) {
        if (frame.Width() != width || frame.Height() != height) {
            throw std::invalid_argument("the clip's frames differ in size");
        }
    }
    Palette palette = ClipPalette(clip);
    const auto frameCount = static_cast<std::uint32_t>(clip.frames.size());
    const std::uint32_t frameSize =
        DibHeader::Stride(width, 8) * static_cast<std::uint32_t>(height);
    const auto bytesPerSecond = static_cast<std::uint32_t>(
        (std::uint64_t{frameSize} * 1000000 + clip.microSecondsPerFrame - 1) /
        clip.microSecondsPerFrame);

    ByteWriter out;
    std::vector<std::uint32_t> frameOffsets;
    {
        Chunk riff(out, "RIFF", "AVI ");
        {
            Chunk hdrl(out, "LIST", "hdrl");
            {
                Chunk avih(out, "avih");
                out.U32(clip.microSecondsPerFrame);
                out.U32(bytesPerSecond);
                out.U32(0);  // padding granularity
                out.U32(kHasIndex);
                out.U32(frameCount);
                out.U32(0);  // initial frames
                out.U32(1);  // streams
                out.U32(frameSize);
                out.I32(width);
                out.I32(height);
                out.Zeros(16);  // reserved
            }
            Chunk strl(out, "LIST", "strl");
            {
                Chunk strh(out, "strh");
                out.FourCC("vids");
                out.FourCC("DIB ");
                out.U32(0);                          // flags
                out.U16(0);                          // priority
                out.U16(0);                          // language
                out.U32(0);                          // initial frames
                out.U32(clip.microSecondsPerFrame);  // scale / rate = seconds per frame
                out.U32(1000000);
                out.U32(0);  // start
                out.U32(frameCount);
                out.U32(frameSize);
                out.U32(0xFFFFFFFF);  // default quality
                out.U32(0);           // sample size: varies (one frame per chunk)
                out.U16(0);           // frame rectangle: left, top, right, bottom
                out.U16(0);
                out.U16(static_cast<std::uint16_t>(width));
                out.U16(static_cast<std::uint16_t>(height));
            }
            {
                Chunk strf(out, "strf");
                DibHeader{width, height, 8, frameSize, kPaletteSize}.Write(out);
                for (std::size_t i = 0; i < palette.Size(); ++i) {
                    out.U8(palette[i].b);
                    out.U8(palette[i].g);
                    out.U8(palette[i].r);
                    out.U8(0);
                }
            }
        }
        {
            Chunk movi(out, "LIST", "movi");
            // Index offsets count from the 'movi' list type, as readers expect.
            const std::size_t moviAt = out.Size() - 4;
            for (const Canvas& frame : clip.frames) {
                frameOffsets.push_back(static_cast<std::uint32_t>(out.Size() - moviAt));
                Chunk data(out, "00db");
                out.Bytes(FrameBits(frame, clip, palette));
            }
        }
        Chunk idx1(out, "idx1");
        for (const std::uint32_t offset : frameOffsets) {
            out.FourCC("00db");
            out.U32(kKeyFrame);
            out.U32(offset);
            out.U32(frameSize);
        }
    }
    return out.Data();
}

}  // namespace artgen
