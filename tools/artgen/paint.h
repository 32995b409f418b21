// What a shape is filled with.
#pragma once

#include "tools/artgen/color.h"

namespace artgen {

// A vertical gradient from `top` at row y0 to `bottom` at row y1, held flat beyond them; a solid
// colour is the gradient whose two ends agree.
struct Paint {
    Color top;
    Color bottom;
    double y0 = 0;
    double y1 = 1;

    static constexpr Paint Solid(const Color& color) { return {color, color, 0, 1}; }
    static constexpr Paint Vertical(const Color& top, const Color& bottom, double y0, double y1) {
        return {top, bottom, y0, y1};
    }
    constexpr Color At(double y) const {
        if (y1 <= y0) {
            return top;
        }
        const double t = (y - y0) / (y1 - y0);
        return Color::Mix(top, bottom, t < 0 ? 0 : (t > 1 ? 1 : t));
    }
};

}  // namespace artgen
