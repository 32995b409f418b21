// A small RGBA raster with anti-aliased shapes, enough to draw the wizard's art.
#pragma once

#include <vector>

#include "tools/artgen/color.h"
#include "tools/artgen/paint.h"

namespace artgen {

struct PointF {
    double x = 0;
    double y = 0;
};

struct RectF {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// Pixel (x, y) covers [x, x+1) x [y, y+1), row 0 at the top. Every shape is given by its signed
// distance from the pixel centre and covers the pixel in proportion across a ramp `softness`
// pixels wide: 1 gives crisp anti-aliased edges, more gives glows and soft shadows.
class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Fill(const Paint& paint);
    void FillRect(const RectF& rect, const Paint& paint);
    void FillRoundedRect(const RectF& rect, double radius, const Paint& paint,
                         double softness = 1.0);
    void FillCircle(PointF centre, double radius, const Paint& paint, double softness = 1.0);
    // Corners in either winding order.
    void FillConvexPolygon(const std::vector<PointF>& corners, const Paint& paint);
    // Round caps and joins; the path is covered once, so a translucent line does not darken
    // where its segments meet.
    void StrokePolyline(const std::vector<PointF>& points, double width, const Paint& paint,
                        double softness = 1.0);

    // The pixel with straight alpha.
    Color At(int x, int y) const;
    // The pixel laid over an opaque background.
    Rgb8 Over(int x, int y, Rgb8 background) const;

private:
    template <typename Distance>
    void Cover(const RectF& bounds, double softness, const Paint& paint, Distance distance);
    void Blend(int x, int y, const Color& color, double coverage);

    int m_width;
    int m_height;
    std::vector<Color> m_pixels;  // premultiplied: r, g, b already scaled by a
};

}  // namespace artgen
