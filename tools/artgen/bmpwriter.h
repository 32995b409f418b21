// Plain 24-bit Windows bitmap files, the form the wizard's watermark and header take.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/artgen/canvas.h"

namespace artgen {

// BITMAPFILEHEADER + BITMAPINFOHEADER, BI_RGB, bottom-up rows padded to 4 bytes. Pixels that
// are not opaque are laid over `background`: a bitmap has no alpha.
std::vector<std::uint8_t> EncodeBmp24(const Canvas& canvas, Rgb8 background);

}  // namespace artgen
