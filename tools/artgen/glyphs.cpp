#include "tools/artgen/glyphs.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace artgen {

namespace {

constexpr Color kWhite = Color::Hex(0xFFFFFF);

// Positions in a glyph are fractions of its square; Grid turns them into pixels.
class Grid {
public:
    Grid(double x, double y, double size) : m_x(x), m_y(y), m_size(size), m_crisp(size <= 64) {}

    bool Crisp() const { return m_crisp; }
    double Snap(double v) const { return m_crisp ? std::round(v) : v; }
    double X(double fraction) const { return Snap(m_x + fraction * m_size); }
    double Y(double fraction) const { return Snap(m_y + fraction * m_size); }
    // A length of at least `minimum` pixels.
    double Length(double fraction, double minimum) const {
        return std::max(minimum, Snap(fraction * m_size));
    }

    // A span of `width` centred on `centre`; when snapped, a width whose parity does not fit
    // the centre grows by a pixel so that the span stays truly centred.
    std::pair<double, double> Centred(double centre, double width) const {
        if (m_crisp) {
            const double left = centre - width / 2;
            if (left != std::floor(left)) {
                width += 1;
            }
        }
        return {centre - width / 2, centre + width / 2};
    }

private:
    double m_x;
    double m_y;
    double m_size;
    bool m_crisp;
};

constexpr int kChannels = 4;
// Where each fader's cap sits down its slot (0 top, 1 bottom), so the bank reads as a mix.
constexpr std::array<double, kChannels> kCapPositions{0.55, 0.12, 0.72, 0.35};
constexpr std::array<Color, kChannels> kLedColors{Color::Hex(0x4ADE80), Color::Hex(0x4ADE80),
                                                  Color::Hex(0x4ADE80), Color::Hex(0xFBBF24)};

// The left edge of a slot of `width` pixels around `centre`; snapped slots left of the middle
// mirror those right of it.
double SlotLeft(const Grid& grid, double centre, double width) {
    if (!grid.Crisp()) {
        return centre - width / 2;
    }
    const int w = static_cast<int>(width);
    return w % 2 == 1 ? std::floor(centre) - (w - 1) / 2 : std::round(centre) - w / 2;
}

}  // namespace

void DrawMixer(Canvas& canvas, double x, double y, double size, const MixerLook& look) {
    const Grid grid(x, y, size);
    const double line = grid.Length(1.0 / 24, 1);
    const double radius = size * 0.13;

    const RectF body{grid.X(0.02), grid.Y(0.14), grid.X(0.98), grid.Y(0.90)};
    canvas.FillRoundedRect(body, radius, Paint::Solid(Color::Hex(0x0E1116)));
    const RectF face{body.left + line, body.top + line, body.right - line, body.bottom - line};
    canvas.FillRoundedRect(
        face, radius - line,
        Paint::Vertical(Color::Hex(0x566275), Color::Hex(0x222833), face.top, face.bottom));
    // Light from above catches the console's top edge.
    canvas.FillRoundedRect(
        {face.left + radius / 2, face.top, face.right - radius / 2, face.top + line}, line / 2,
        Paint::Solid(kWhite.WithAlpha(0.22)));

    const double slotTop = grid.Y(0.40);
    const double slotBottom = grid.Y(0.83);
    if (size >= 28) {
        // The recess the faders run in.
        canvas.FillRoundedRect(
            {face.left + grid.Length(0.05, 1), slotTop - grid.Length(0.04, 1),
             face.right - grid.Length(0.05, 1), slotBottom + grid.Length(0.04, 1)},
            size * 0.04, Paint::Solid(Color::Hex(0x0B0E13, 0.45)));
    }

    const double middle = (body.left + body.right) / 2;
    const double spacing = size * 0.215;
    const double slotWidth = grid.Length(0.055, 1);
    const double capWidth = slotWidth + 2 * grid.Length(0.08, 1);
    const double capHeight = grid.Length(0.10, 2);
    const double ledSize = grid.Length(0.085, 1);
    const double ledY = grid.Y(0.27);
    for (int i = 0; i < kChannels; ++i) {
        const double centre = middle + (i - (kChannels - 1) / 2.0) * spacing;
        const double slotLeft = SlotLeft(grid, centre, slotWidth);
        const double slotMiddle = slotLeft + slotWidth / 2;
        canvas.FillRoundedRect({slotLeft, slotTop, slotLeft + slotWidth, slotBottom}, slotWidth / 2,
                               Paint::Solid(Color::Hex(0x06080B)));

        const double level = std::clamp(look.leds[static_cast<std::size_t>(i)], 0.0, 1.0);
        const Color led =
            Color::Mix(Color::Hex(0x2A3340), kLedColors[static_cast<std::size_t>(i)], level);
        const auto [ledLeft, ledRight] = grid.Centred(slotMiddle, ledSize);
        const double ledTop = grid.Snap(ledY - (ledRight - ledLeft) / 2);
        if (size >= 28 && level > 0) {
            canvas.FillCircle({slotMiddle, ledTop + (ledRight - ledLeft) / 2}, ledSize,
                              Paint::Solid(led.WithAlpha(0.3 * level)), ledSize * 1.5);
        }
        canvas.FillRoundedRect({ledLeft, ledTop, ledRight, ledTop + (ledRight - ledLeft)},
                               size >= 28 ? (ledRight - ledLeft) / 2 : 0, Paint::Solid(led));

        const bool master = i == kChannels - 1;
        const auto [capLeft, capRight] = grid.Centred(slotMiddle, capWidth);
        const double capTop = grid.Snap(slotTop + kCapPositions[static_cast<std::size_t>(i)] *
                                                      (slotBottom - slotTop - capHeight));
        const RectF cap{capLeft, capTop, capRight, capTop + capHeight};
        const Paint capPaint =
            master
                ? Paint::Vertical(Color::Hex(0xFF9A6B), Color::Hex(0xE04E1F), cap.top, cap.bottom)
                : Paint::Vertical(Color::Hex(0xF8FAFC), Color::Hex(0xAEB7C4), cap.top, cap.bottom);
        canvas.FillRoundedRect(cap, std::min(capHeight / 3, size * 0.025), capPaint);
        if (size >= 28) {
            // The grip line across the cap.
            const double grip = grid.Length(0.02, 1);
            const double lineY = grid.Snap(cap.top + capHeight / 2 - grip / 2);
            canvas.FillRect({cap.left + line, lineY, cap.right - line, lineY + grip},
                            Paint::Solid(Color::Hex(0x1F242C, 0.6)));
        }
    }
}

void DrawComputer(Canvas& canvas, double x, double y, double size) {
    const Grid grid(x, y, size);
    const double line = grid.Length(1.0 / 24, 1);

    // The stand first, so that the monitor overlaps its neck.
    const double neckTop = grid.Y(0.66);
    const double baseTop = grid.Y(0.84);
    canvas.FillConvexPolygon(
        {{grid.X(0.43), neckTop},
         {grid.X(0.57), neckTop},
         {grid.X(0.61), baseTop + 1},
         {grid.X(0.39), baseTop + 1}},
        Paint::Vertical(Color::Hex(0x6B7686), Color::Hex(0x9AA5B4), neckTop, baseTop));
    canvas.FillRoundedRect(
        {grid.X(0.22), baseTop, grid.X(0.78), grid.Y(0.91)}, size * 0.03,
        Paint::Vertical(Color::Hex(0xB4BDCA), Color::Hex(0x7A8596), baseTop, grid.Y(0.91)));

    const RectF frame{grid.X(0.03), grid.Y(0.08), grid.X(0.97), grid.Y(0.70)};
    canvas.FillRoundedRect(
        frame, size * 0.08,
        Paint::Vertical(Color::Hex(0x3A4350), Color::Hex(0x1C2129), frame.top, frame.bottom));
    const double bezel = grid.Length(0.07, 2);
    const RectF screen{frame.left + bezel, frame.top + bezel, frame.right - bezel,
                       frame.bottom - bezel};
    canvas.FillRoundedRect(
        screen, size * 0.02,
        Paint::Vertical(Color::Hex(0x63B8FF), Color::Hex(0x1E5FC0), screen.top, screen.bottom));
    // A glare across the upper left of the glass.
    const double w = screen.right - screen.left;
    const double h = screen.bottom - screen.top;
    canvas.FillConvexPolygon({{screen.left, screen.top},
                              {screen.left + 0.55 * w, screen.top},
                              {screen.left, screen.top + 0.8 * h}},
                             Paint::Solid(kWhite.WithAlpha(0.16)));
    // A window with lines of text, as an updater would show.
    const double rowHeight = std::max(line, grid.Snap(0.055 * size));
    const double rowGap = grid.Snap(h / 4);
    const std::array<double, 3> widths{0.62, 0.42, 0.52};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const double top = grid.Snap(screen.top + rowGap * (0.6 + static_cast<double>(i)));
        const double left = grid.Snap(screen.left + 0.14 * w);
        canvas.FillRoundedRect({left, top, grid.Snap(left + widths[i] * w), top + rowHeight},
                               rowHeight / 2, Paint::Solid(kWhite.WithAlpha(0.8)));
    }
}

}  // namespace artgen
