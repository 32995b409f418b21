// Colours as the drawing code works with them and as the files store them.
#pragma once

#include <cmath>
#include <cstdint>

namespace artgen {

// An 8-bit colour as bitmaps, icons and palettes store it.
struct Rgb8 {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Rgb8&, const Rgb8&) = default;
    std::uint32_t Packed() const { return std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b; }
};

// A colour with straight (not premultiplied) alpha, every channel from 0 to 1.
struct Color {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 0;

    static constexpr Color Hex(std::uint32_t rgb, double alpha = 1.0) {
        return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                alpha};
    }
    constexpr Color WithAlpha(double alpha) const { return {r, g, b, alpha}; }
    static constexpr Color Mix(const Color& from, const Color& to, double t) {
        return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
                from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
    }

    static std::uint8_t ToByte(double value) {
        const double scaled = std::floor(value * 255.0 + 0.5);
        return static_cast<std::uint8_t>(scaled < 0 ? 0 : (scaled > 255 ? 255 : scaled));
    }
    Rgb8 ToRgb8() const { return {ToByte(r), ToByte(g), ToByte(b)}; }
};

}  // namespace artgen
