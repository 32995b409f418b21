#include "tools/artgen/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "tools/artgen/glyphs.h"

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Color kWhite = Color::Hex(0xFFFFFF);
constexpr Color kBlack = Color::Hex(0x000000);

// sin(2 pi turns) from a polynomial alone: the C library's sine may differ in its last bit
// between systems, and the generated files must come out identical everywhere.
double Sine(double turns) {
    double t = turns - std::floor(turns);  // [0, 1)
    if (t > 0.5) {
        return -Sine(t - 0.5);
    }
    if (t > 0.25) {
        t = 0.5 - t;  // sin(pi - a) = sin(a)
    }
    const double a = 2 * kPi * t;  // [0, pi/2]
    const double a2 = a * a;
    double term = a;
    double sum = a;
    for (int n = 1; n <= 8; ++n) {
        term *= -a2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// A soft shadow for a glyph: the silhouette of its console, blurred and set below it.
void DropShadow(Canvas& canvas, double x, double y, double size, double drop, double blur,
                double strength) {
    canvas.FillRoundedRect(
        {x + 0.04 * size, y + 0.16 * size + drop, x + 0.96 * size, y + 0.90 * size + drop},
        size * 0.13, Paint::Solid(kBlack.WithAlpha(strength)), blur);
}

// The waveform across the watermark at `scale`: its shape is the 100 % art's, sampled at every
// pixel of the scaled width.
void DrawWaveform(Canvas& canvas, double scale, double centreY, double amplitude, double phase,
                  const Paint& paint, double width, double softness) {
    std::vector<PointF> points;
    for (double x = -4 * scale; x <= (kWatermarkWidth + 4) * scale; x += 1) {
        const double at = x / scale;  // where the 100 % art is sampled
        const double t = std::clamp(at / kWatermarkWidth, 0.0, 1.0);
        const double envelope = 4 * t * (1 - t);  // quiet at the edges, loudest in the middle
        const double signal = 0.62 * Sine(at / 46.0 + phase) + 0.38 * Sine(at / 19.0 + 2.1 * phase);
        points.push_back({x, (centreY + amplitude * envelope * signal) * scale});
    }
    canvas.StrokePolyline(points, width, paint, softness);
}

// Large translucent faders in the lower part of the watermark, more texture than picture. Laid out
// in the 100 % art's pixels and drawn at `scale`; edges stay one pixel soft, so they stay crisp.
void DrawFaderBank(Canvas& canvas, double scale) {
    const auto rect = [scale](double left, double top, double right, double bottom) {
        return RectF{left * scale, top * scale, right * scale, bottom * scale};
    };
    constexpr double kTop = 402;
    constexpr double kBottom = 598;
    constexpr std::array<double, 4> kCentres{31, 65, 99, 133};
    constexpr std::array<double, 4> kCaps{0.45, 0.18, 0.66, 0.32};
    for (std::size_t i = 0; i < kCentres.size(); ++i) {
        const double cx = kCentres[i];
        canvas.FillRoundedRect(
            rect(cx - 2.5, kTop, cx + 2.5, kBottom), 2.5 * scale,
            Paint::Vertical(Color::Hex(0x000000, 0.30), Color::Hex(0x000000, 0.12), kTop * scale,
                            kBottom * scale));
        for (double tick = kTop + 6; tick < kBottom - 4; tick += 14) {
            canvas.FillRect(rect(cx - 14, tick, cx - 7, tick + 1),
                            Paint::Solid(kWhite.WithAlpha(0.13)));
            canvas.FillRect(rect(cx + 7, tick, cx + 14, tick + 1),
                            Paint::Solid(kWhite.WithAlpha(0.13)));
        }
        const double capTop = kTop + 6 + kCaps[i] * (kBottom - kTop - 36);
        const RectF cap = rect(cx - 12, capTop, cx + 12, capTop + 24);
        canvas.FillRoundedRect({cap.left, cap.top + 4 * scale, cap.right, cap.bottom + 4 * scale},
                               4 * scale, Paint::Solid(kBlack.WithAlpha(0.25)), 6 * scale);
        const bool master = i + 1 == kCentres.size();
        canvas.FillRoundedRect(
            cap, 4 * scale,
            master ? Paint::Vertical(Color::Hex(0xFF9A6B, 0.75), Color::Hex(0xE04E1F, 0.75),
                                     cap.top, cap.bottom)
                   : Paint::Vertical(kWhite.WithAlpha(0.55), kWhite.WithAlpha(0.28), cap.top,
                                     cap.bottom));
        canvas.FillRect({cap.left + 3 * scale, (capTop + 11.5) * scale, cap.right - 3 * scale,
                         (capTop + 12.5) * scale},
                        Paint::Solid(kBlack.WithAlpha(0.35)));
    }
}

}  // namespace

Canvas MakeIconPicture(int size) {
    Canvas canvas(size, size);
    DrawMixer(canvas, 0, 0, size);
    return canvas;
}

int Scaled(int length, double scale) {
    return static_cast<int>(std::lround(length * scale));
}

// Both bitmaps are laid out in the 100 % art's pixels and drawn at `scale`: the same picture at
// every size, each pixel of it drawn, not stretched.
Canvas MakeWatermark(double scale) {
    Canvas canvas(Scaled(kWatermarkWidth, scale), Scaled(kWatermarkHeight, scale));
    const double width = canvas.Width();
    const double height = canvas.Height();
    // A whole row, so the two gradients meet without a seam.
    const double middle = std::round(282 * scale);
    canvas.FillRect({0, 0, width, middle},
                    Paint::Vertical(Color::Hex(0x081A44), Color::Hex(0x0D3B78), 0, middle));
    canvas.FillRect({0, middle, width, height},
                    Paint::Vertical(Color::Hex(0x0D3B78), Color::Hex(0x0A8088), middle, height));
    // Pools of light give the gradient depth.
    canvas.FillCircle({150 * scale, 70 * scale}, 40 * scale,
                      Paint::Solid(Color::Hex(0x3B82F6, 0.30)), 150 * scale);
    canvas.FillCircle({10 * scale, 560 * scale}, 60 * scale,
                      Paint::Solid(Color::Hex(0x2DD4BF, 0.30)), 180 * scale);

    constexpr double kGlyph = 120;
    constexpr double kGlyphX = (kWatermarkWidth - kGlyph) / 2;
    constexpr double kGlyphY = 88;
    DropShadow(canvas, kGlyphX * scale, kGlyphY * scale, kGlyph * scale, 8 * scale, 18 * scale,
               0.55);
    DrawMixer(canvas, kGlyphX * scale, kGlyphY * scale, kGlyph * scale);

    constexpr double kWaveY = 318;
    DrawWaveform(canvas, scale, kWaveY, 34, 0.00, Paint::Solid(Color::Hex(0x67E8F9, 0.18)),
                 9 * scale, 6 * scale);
    DrawWaveform(canvas, scale, kWaveY, 24, 0.37, Paint::Solid(Color::Hex(0xA5F3FC, 0.30)),
                 1.2 * scale, 1);
    DrawWaveform(canvas, scale, kWaveY, 34, 0.00, Paint::Solid(Color::Hex(0xCFFAFE, 0.95)),
                 1.8 * scale, 1);

    DrawFaderBank(canvas, scale);
    return canvas;
}

Canvas MakeHeader(double scale) {
    const int size = Scaled(kHeaderSize, scale);
    Canvas canvas(size, size);
    canvas.Fill(Paint::Solid(kWhite));
    const double glyph = 41 * scale;
    DropShadow(canvas, 4 * scale, 3 * scale, glyph, 2 * scale, 3 * scale, 0.25);
    DrawMixer(canvas, 4 * scale, 3 * scale, glyph);
    return canvas;
}

std::vector<Canvas> MakeBusyFrames() {
    constexpr int kChevrons = 9;
    constexpr double kFirst = 66;
    constexpr double kLast = 206;
    constexpr double kMiddleY = kBusyHeight / 2.0;
    // The highlight runs over the chevrons and on through a pause into the mixer before it
    // starts again, so the period is longer than the row.
    constexpr double kPeriod = kChevrons + 3;
    const Color idle = Color::Hex(0xB8C2CE);
    const Color lit = Color::Hex(0x0B84E0);

    std::vector<Canvas> frames;
    for (int f = 0; f < kBusyFrames; ++f) {
        Canvas canvas(kBusyWidth, kBusyHeight);
        const double head = -1 + kPeriod * f / kBusyFrames;

        DrawComputer(canvas, 10, 3, 42);

        // The mixer's LEDs answer as the data arrives.
        const double arrival = std::clamp(1 - std::abs(head - (kChevrons + 0.5)) / 2.0, 0.0, 1.0);
        MixerLook look;
        for (std::size_t i = 0; i < look.leds.size(); ++i) {
            look.leds[i] =
                0.35 + 0.65 * std::clamp(arrival * 1.6 - 0.15 * static_cast<double>(i), 0.0, 1.0);
        }
        DrawMixer(canvas, kBusyWidth - 10 - 42, 3, 42, look);

        for (int i = 0; i < kChevrons; ++i) {
            const double x = kFirst + (kLast - kFirst) * i / (kChevrons - 1);
            // Distance behind the head, wrapped so the trail continues across the loop.
            double behind = head - i;
            behind -= kPeriod * std::floor((behind + 1) / kPeriod);
            const double glow =
                behind < 0 ? std::max(0.0, 1 + behind / 0.75) : std::max(0.0, 1 - behind / 3.0);
            const Color color = Color::Mix(idle, lit, glow * glow * (3 - 2 * glow));
            canvas.StrokePolyline({{x - 3, kMiddleY - 6}, {x + 3, kMiddleY}, {x - 3, kMiddleY + 6}},
                                  3.2, Paint::Solid(color));
        }
        frames.push_back(std::move(canvas));
    }
    return frames;
}

}  // namespace artgen
