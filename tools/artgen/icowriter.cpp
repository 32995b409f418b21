#include "tools/artgen/icowriter.h"

#include <stdexcept>

#include "tools/artgen/bytewriter.h"
#include "tools/artgen/dibheader.h"
#include "tools/artgen/palette.h"

namespace artgen {

namespace {

constexpr std::uint32_t kDirectorySize = 6;
constexpr std::uint32_t kEntrySize = 16;

// A palette image has no partial transparency: pixels less than half covered become holes. A
// 32-bit image keeps its soft edges in the alpha channel and has holes only where nothing is
// drawn, so its colour rows stay black under every set mask bit.
bool IsHole(const Color& pixel, std::uint16_t bitCount) {
    return bitCount == 32 ? Color::ToByte(pixel.a) == 0 : pixel.a < 0.5;
}

std::vector<std::uint8_t> IndexedBits(const Canvas& picture, std::uint16_t bitCount) {
    // Holes must be black in the colour rows: Windows ANDs the mask with the screen, then XORs
    // the colour, and black leaves the screen as it was.
    const Rgb8 black{0, 0, 0};
    std::vector<Rgb8> samples;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (!IsHole(picture.At(x, y), bitCount)) {
                samples.push_back(picture.At(x, y).ToRgb8());
            }
        }
    }
    Palette palette({black}, samples, std::size_t{1} << bitCount);

    ByteWriter out;
    for (std::size_t i = 0; i < palette.Size(); ++i) {
        out.U8(palette[i].b);
        out.U8(palette[i].g);
        out.U8(palette[i].r);
        out.U8(0);
    }
    const std::uint32_t stride = DibHeader::Stride(picture.Width(), bitCount);
    const int perByte = 8 / bitCount;
    for (int y = picture.Height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < picture.Width(); ++x) {
            const Color pixel = picture.At(x, y);
            const std::uint8_t index =
                IsHole(pixel, bitCount) ? 0 : palette.Nearest(pixel.ToRgb8(), 0);
            const int shift = (perByte - 1 - x % perByte) * bitCount;
            row[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(index << shift);
        }
        out.Bytes(row);
    }
    return out.Data();
}

std::vector<std::uint8_t> BgraBits(const Canvas& picture) {
    ByteWriter out;
    for (int y = picture.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const Color pixel = picture.At(x, y);
            const std::uint8_t alpha = Color::ToByte(pixel.a);
            const Rgb8 color = alpha == 0 ? Rgb8{} : pixel.ToRgb8();
            out.U8(color.b);
            out.U8(color.g);
            out.U8(color.r);
            out.U8(alpha);
        }
    }
    return out.Data();
}

std::vector<std::uint8_t> MaskBits(const Canvas& picture, std::uint16_t bitCount) {
    const std::uint32_t stride = DibHeader::Stride(picture.Width(), 1);
    ByteWriter out;
    for (int y = picture.Height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < picture.Width(); ++x) {
            if (IsHole(picture.At(x, y), bitCount)) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.Bytes(row);
    }
    return out.Data();
}

std::vector<std::uint8_t> EncodeImage(const IconImage& image) {
    const Canvas& picture = image.picture;
    const auto bitCount = static_cast<std::uint16_t>(image.bitCount);
    std::vector<std::uint8_t> colorBits;
    if (bitCount == 4 || bitCount == 8) {
        colorBits = IndexedBits(picture, bitCount);
    } else if (bitCount == 32) {
        colorBits = BgraBits(picture);
    } else {
        throw std::invalid_argument("icon images are 4, 8 or 32 bits per pixel");
    }
    const std::uint32_t xorSize =
        DibHeader::Stride(picture.Width(), bitCount) * static_cast<std::uint32_t>(picture.Height());
    const std::uint32_t andSize =
        DibHeader::Stride(picture.Width(), 1) * static_cast<std::uint32_t>(picture.Height());

    ByteWriter out;
    DibHeader{picture.Width(), picture.Height() * 2, bitCount, xorSize + andSize, 0}.Write(out);
    out.Bytes(colorBits);  // colour table (if any) and colour rows
    out.Bytes(MaskBits(picture, bitCount));
    return out.Data();
}

}  // namespace

std::vector<std::uint8_t> EncodeIcon(const std::vector<IconImage>& images) {
    if (images.empty() || images.size() > 0xFFFF) {
        throw std::invalid_argument("an icon holds 1 to 65535 images");
    }
    std::vector<std::vector<std::uint8_t>> encoded;
    for (const IconImage& image : images) {
        if (image.picture.Width() > 256 || image.picture.Height() > 256) {
            throw std::invalid_argument("icon images are at most 256 pixels square");
        }
        encoded.push_back(EncodeImage(image));
    }

    ByteWriter out;
    out.U16(0);  // reserved
    out.U16(1);  // icon, not cursor
    out.U16(static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = kDirectorySize + kEntrySize * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        // 256 is stored as 0.
        out.U8(static_cast<std::uint8_t>(image.picture.Width() & 0xFF));
        out.U8(static_cast<std::uint8_t>(image.picture.Height() & 0xFF));
        out.U8(image.bitCount == 4 ? 16 : 0);  // colours, when fewer than 256
        out.U8(0);
        out.U16(1);  // planes
        out.U16(static_cast<std::uint16_t>(image.bitCount));
        out.U32(static_cast<std::uint32_t>(encoded[i].size()));
        out.U32(offset);
        offset += static_cast<std::uint32_t>(encoded[i].size());
    }
    for (const auto& bytes : encoded) {
        out.Bytes(bytes);
    }
    return out.Data();
}

}  // namespace artgen
