// The wizard's four pieces of art, drawn at the sizes the property sheet and the animation
// control show them. The sheet's bitmaps come in one size for each display scale the wizard
// supports, each drawn afresh at that size: a bitmap stretched by the sheet blurs.
#pragma once

#include <vector>

#include "tools/artgen/canvas.h"

namespace artgen {

// The exterior pages' watermark stands to the left of the page, the interior pages' header in
// the top right corner of a white band; at 96 dots per inch (100 %) they have these sizes.
constexpr int kWatermarkWidth = 164;
constexpr int kWatermarkHeight = 628;
constexpr int kHeaderSize = 49;
// The display scales the bitmaps are drawn for: 96, 144 and 192 dots per inch.
constexpr double kBitmapScales[] = {1.0, 1.5, 2.0};

// A length of the 100 % art at `scale`, to the nearest pixel (49 at 150 % is 74).
int Scaled(int length, double scale);
// About a tenth of a second a frame keeps the motion smooth without bloating the program.
constexpr int kBusyWidth = 272;
constexpr int kBusyHeight = 48;
constexpr int kBusyFrames = 16;

// The application icon's picture at one of its sizes (16, 32, 48), on a transparent ground.
Canvas MakeIconPicture(int size);
Canvas MakeWatermark(double scale);
Canvas MakeHeader(double scale);
// Data flowing from a computer to the mixer, on a transparent ground; the last frame leads
// back into the first.
std::vector<Canvas> MakeBusyFrames();

}  // namespace artgen
