#include "tools/artgen/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace artgen {

namespace {

double Clamp01(double value) {
    return std::clamp(value, 0.0, 1.0);
}

double Length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

double SegmentDistance(PointF p, PointF a, PointF b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    const double t =
        lengthSquared > 0 ? Clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared) : 0;
    return Length(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

std::size_t Index(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
}

}  // namespace

Canvas::Canvas(int width, int height) : m_width(width), m_height(height) {
    // Generous for any art a wizard shows; the limit keeps the index arithmetic in range.
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        throw std::invalid_argument("canvas size out of range");
    }
    m_pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}

template <typename Distance>
void Canvas::Cover(const RectF& bounds, double softness, const Paint& paint, Distance distance) {
    const int x0 = std::max(0, static_cast<int>(std::floor(bounds.left - softness)));
    const int y0 = std::max(0, static_cast<int>(std::floor(bounds.top - softness)));
    const int x1 = std::min(m_width, static_cast<int>(std::ceil(bounds.right + softness)));
    const int y1 = std::min(m_height, static_cast<int>(std::ceil(bounds.bottom + softness)));
    for (int y = y0; y < y1; ++y) {
        const double py = y + 0.5;
        const Color color = paint.At(py);
        for (int x = x0; x < x1; ++x) {
            const double coverage = Clamp01(0.5 - distance(PointF{x + 0.5, py}) / softness);
            if (coverage > 0) {
                Blend(x, y, color, coverage);
            }
        }
    }
}

void Canvas::Blend(int x, int y, const Color& color, double coverage) {
    Color& pixel = m_pixels[Index(x, y, m_width)];
    const double alpha = Clamp01(color.a) * coverage;
    pixel.r = color.r * alpha + pixel.r * (1 - alpha);
    pixel.g = color.g * alpha + pixel.g * (1 - alpha);
    pixel.b = color.b * alpha + pixel.b * (1 - alpha);
    pixel.a = alpha + pixel.a * (1 - alpha);
}

void Canvas::Fill(const Paint& paint) {
    FillRect({0, 0, static_cast<double>(m_width), static_cast<double>(m_height)}, paint);
}

void Canvas::FillRect(const RectF& rect, const Paint& paint) {
    FillRoundedRect(rect, 0, paint);
}

void Canvas::FillRoundedRect(const RectF& rect, double radius, const Paint& paint,
                             double softness) {
    const double halfWidth = (rect.right - rect.left) / 2;
    const double halfHeight = (rect.bottom - rect.top) / 2;
    if (halfWidth <= 0 || halfHeight <= 0) {
        return;
    }
    const double r = std::clamp(radius, 0.0, std::min(halfWidth, halfHeight));
    const PointF centre{rect.left + halfWidth, rect.top + halfHeight};
    Cover(rect, softness, paint, [&](PointF p) {
        const double qx = std::abs(p.x - centre.x) - (halfWidth - r);
        const double qy = std::abs(p.y - centre.y) - (halfHeight - r);
        return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
    });
}

void Canvas::FillCircle(PointF centre, double radius, const Paint& paint, double softness) {
    if (radius <= 0) {
        return;
    }
    const RectF bounds{centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius};
    Cover(bounds, softness, paint,
          [&](PointF p) { return Length(p.x - centre.x, p.y - centre.y) - radius; });
}

void Canvas::FillConvexPolygon(const std::vector<PointF>& corners, const Paint& paint) {
    if (corners.size() < 3) {
        return;
    }
    double twiceArea = 0;
    RectF bounds{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const PointF& a = corners[i];
        const PointF& b = corners[(i + 1) % corners.size()];
        twiceArea += a.x * b.y - b.x * a.y;
        bounds = {std::min(bounds.left, a.x), std::min(bounds.top, a.y),
                  std::max(bounds.right, a.x), std::max(bounds.bottom, a.y)};
    }
    if (twiceArea == 0) {
        return;
    }
    // The outward side of each edge depends on the winding.
    const double outward = twiceArea > 0 ? -1.0 : 1.0;
    Cover(bounds, 1.0, paint, [&](PointF p) {
        double distance = -1e300;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const PointF& a = corners[i];
            const PointF& b = corners[(i + 1) % corners.size()];
            const double length = Length(b.x - a.x, b.y - a.y);
            if (length > 0) {
                const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
                distance = std::max(distance, outward * cross / length);
            }
        }
        return distance;
    });
}

void Canvas::StrokePolyline(const std::vector<PointF>& points, double width, const Paint& paint,
                            double softness) {
    if (points.empty() || width <= 0) {
        return;
    }
    const double half = width / 2;
    RectF bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const PointF& p : points) {
        bounds = {std::min(bounds.left, p.x), std::min(bounds.top, p.y),
                  std::max(bounds.right, p.x), std::max(bounds.bottom, p.y)};
    }
    bounds = {bounds.left - half, bounds.top - half, bounds.right + half, bounds.bottom + half};
    Cover(bounds, softness, paint, [&](PointF p) {
        double nearest = SegmentDistance(p, points[0], points[0]);
        for (std::size_t i = 1; i < points.size(); ++i) {
            nearest = std::min(nearest, SegmentDistance(p, points[i - 1], points[i]));
        }
        return nearest - half;
    });
}

Color Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        throw std::out_of_range("pixel outside the canvas");
    }
    const Color& pixel = m_pixels[Index(x, y, m_width)];
    if (pixel.a <= 0) {
        return {};
    }
    return {pixel.r / pixel.a, pixel.g / pixel.a, pixel.b / pixel.a, pixel.a};
}

Rgb8 Canvas::Over(int x, int y, Rgb8 background) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        throw std::out_of_range("pixel outside the canvas");
    }
    const Color& pixel = m_pixels[Index(x, y, m_width)];
    const double rest = 1 - pixel.a;
    return Color{pixel.r + background.r / 255.0 * rest, pixel.g + background.g / 255.0 * rest,
                 pixel.b + background.b / 255.0 * rest, 1}
        .ToRgb8();
}

}  // namespace artgen
