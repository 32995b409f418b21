// The two pictures the art is made of: the mixer and the computer that updates it.
#pragma once

#include <array>

#include "tools/artgen/canvas.h"

namespace artgen {

struct MixerLook {
    // How brightly each channel's LED shines, 0 (dark) to 1.
    std::array<double, 4> leds{1, 1, 1, 1};
};

// A console with four fader slots, caps at different heights and a row of LEDs, filling a
// `size` square at (x, y). Up to 64 pixels the geometry is snapped to whole pixels, so that the
// slots and caps of the small icon images stay sharp instead of blurring into the console.
void DrawMixer(Canvas& canvas, double x, double y, double size, const MixerLook& look = {});

// A monitor on a stand, in a `size` square at (x, y).
void DrawComputer(Canvas& canvas, double x, double y, double size);

}  // namespace artgen
