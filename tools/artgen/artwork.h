// The wizard's four pieces of art, drawn at the sizes the property sheet and the animation
// control show them.
#pragma once

#include <vector>

#include "tools/artgen/canvas.h"

namespace artgen {

// The exterior pages' watermark stands to the left of the page, the interior pages' header in
// the top right corner of a white band.
constexpr int kWatermarkWidth = 164;
constexpr int kWatermarkHeight = 628;
constexpr int kHeaderSize = 49;
// About a tenth of a second a frame keeps the motion smooth without bloating the program.
constexpr int kBusyWidth = 272;
constexpr int kBusyHeight = 48;
constexpr int kBusyFrames = 16;

// The application icon's picture at one of its sizes (16, 32, 48), on a transparent ground.
Canvas MakeIconPicture(int size);
Canvas MakeWatermark();
Canvas MakeHeader();
// Data flowing from a computer to the mixer, on a transparent ground; the last frame leads
// back into the first.
std::vector<Canvas> MakeBusyFrames();

}  // namespace artgen
