// Windows icon files holding several sizes and colour depths of one picture.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/artgen/canvas.h"

namespace artgen {

struct IconImage {
    Canvas picture;
    int bitCount = 32;  // 4 and 8 use a colour table chosen for the picture; 32 is BGRA
};

// ICONDIR, one ICONDIRENTRY per image in the order given, then each image as a DIB of doubled
// height: the colour (XOR) rows, then the 1-bit AND mask, both bottom-up.
std::vector<std::uint8_t> EncodeIcon(const std::vector<IconImage>& images);

}  // namespace artgen
