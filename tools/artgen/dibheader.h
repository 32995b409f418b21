// The BITMAPINFOHEADER that bitmaps, icon images and the clip's stream format all begin with.
#pragma once

#include <cstdint>

#include "tools/artgen/bytewriter.h"

namespace artgen {

struct DibHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows stored bottom-up
    std::uint16_t bitCount = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t colorsUsed = 0;  // 0: the full 2^bitCount table, when there is one

    static constexpr std::uint32_t kSize = 40;

    // Bytes per stored row: DIB rows end on a 32-bit boundary.
    static std::uint32_t Stride(std::int32_t width, std::uint16_t bitCount) {
        return (static_cast<std::uint32_t>(width) * bitCount + 31) / 32 * 4;
    }

    void Write(ByteWriter& out) const {
        out.U32(kSize);
        out.I32(width);
        out.I32(height);
        out.U16(1);  // planes
        out.U16(bitCount);
        out.U32(0);  // BI_RGB
        out.U32(imageSize);
        out.I32(0);  // no preferred resolution
        out.I32(0);
        out.U32(colorsUsed);
        out.U32(0);  // every colour is important
    }
};

}  // namespace artgen
