#include "tools/artgen/bmpwriter.h"

#include "tools/artgen/bytewriter.h"
#include "tools/artgen/dibheader.h"

namespace artgen {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const Canvas& canvas, Rgb8 background) {
    const std::uint32_t stride = DibHeader::Stride(canvas.Width(), 24);
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(canvas.Height());
    const std::uint32_t offset = kFileHeaderSize + DibHeader::kSize;

    ByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(offset + imageSize);
    out.U16(0);
    out.U16(0);
    out.U32(offset);
    DibHeader{canvas.Width(), canvas.Height(), 24, imageSize, 0}.Write(out);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgb8 pixel = canvas.Over(x, y, background);
            out.U8(pixel.b);
            out.U8(pixel.g);
            out.U8(pixel.r);
        }
        out.Zeros(stride - static_cast<std::uint32_t>(canvas.Width()) * 3);
    }
    return out.Data();
}

}  // namespace artgen
