// Ornament: shapes are signed-distance functions evaluated per pixel centre inside their bounds;
// coverage is 0.5 - distance, which anti-aliases every edge by one pixel.
#include "Ornament.h"

#include <algorithm>
#include <cmath>

namespace ornament {
namespace {

constexpr float kPi = 3.14159265358979f;

float Clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

float Smooth(float t)
{
    t = Clamp01(t);
    return t * t * (3.0f - 2.0f * t);
}

// Calls distance(px, py) for every pixel centre inside the box and blends with the resulting coverage;
// `alpha(px, py)` scales it.
template <typename Distance, typename Alpha>
void Fill(Canvas& canvas, float x0, float y0, float x1, float y1, const Colour& colour, Distance distance, Alpha alpha)
{
    const int ix0 = std::max(0, int(std::floor(x0)) - 1);
    const int iy0 = std::max(0, int(std::floor(y0)) - 1);
    const int ix1 = std::min(canvas.Width() - 1, int(std::ceil(x1)) + 1);
    const int iy1 = std::min(canvas.Height() - 1, int(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            const float px = float(x) + 0.5f;
            const float py = float(y) + 0.5f;
            const float coverage = Clamp01(0.5f - distance(px, py));
            if (coverage > 0.0f)
                canvas.Blend(x, y, coverage * alpha(px, py), colour);
        }
}

float One(float, float)
{
    return 1.0f;
}

float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0.0f ? Clamp01(((px - x0) * dx + (py - y0) * dy) / len2) : 0.0f;
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

// Point on the dial at clock angle `degrees` and distance r from the centre.
void Polar(float cx, float cy, float degrees, float r, float& x, float& y)
{
    const float a = degrees * kPi / 180.0f;
    x = cx + std::sin(a) * r;
    y = cy - std::cos(a) * r;
}

}  // namespace

void Rule(Canvas& canvas, float x0, float x1, float y, float thickness, const Colour& colour, float taper0,
          float taper1)
{
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(taper0, taper1);
    }
    const float length = std::max(1.0f, x1 - x0);
    // 0 at a tapered tip, 1 where its taper ends.
    auto profile = [=](float px) {
        const float t = (px - x0) / length;
        const float a = taper0 > 0.0f ? Smooth(t / taper0) : 1.0f;
        const float b = taper1 > 0.0f ? Smooth((1.0f - t) / taper1) : 1.0f;
        return std::min(a, b);
    };
    const float half = thickness * 0.5f;
    Fill(
        canvas, x0, y - half, x1, y + half, colour,
        [=](float px, float py) {
            if (px < x0 || px > x1)
                return 1.0f;
            // Thin parts stay at least a pixel wide and fade by alpha instead, which keeps them smooth.
            const float h = std::max(0.5f, half * std::sqrt(profile(px)));
            return std::fabs(py - y) - h;
        },
        [=](float px, float) { return std::max(0.0f, profile(px)); });
}

void Segment(Canvas& canvas, float x0, float y0, float x1, float y1, float width, const Colour& colour)
{
    const float h = width * 0.5f;
    Fill(
        canvas, std::min(x0, x1) - h, std::min(y0, y1) - h, std::max(x0, x1) + h, std::max(y0, y1) + h, colour,
        [=](float px, float py) { return SegmentDistance(px, py, x0, y0, x1, y1) - h; }, One);
}

void Disc(Canvas& canvas, float cx, float cy, float radius, const Colour& colour)
{
    Fill(
        canvas, cx - radius, cy - radius, cx + radius, cy + radius, colour,
        [=](float px, float py) { return std::hypot(px - cx, py - cy) - radius; }, One);
}

void Ring(Canvas& canvas, float cx, float cy, float radius, float width, const Colour& colour)
{
    const float outer = radius + width * 0.5f;
    Fill(
        canvas, cx - outer, cy - outer, cx + outer, cy + outer, colour,
        [=](float px, float py) { return std::fabs(std::hypot(px - cx, py - cy) - radius) - width * 0.5f; }, One);
}

void Diamond(Canvas& canvas, float cx, float cy, float rx, float ry, const Colour& colour, float outline)
{
    // Distance to the edge of |x|/rx + |y|/ry = 1, measured along the edge normal.
    const float norm = rx * ry / std::hypot(rx, ry);
    Fill(
        canvas, cx - rx, cy - ry, cx + rx, cy + ry, colour,
        [=](float px, float py) {
            const float d = (std::fabs(px - cx) / rx + std::fabs(py - cy) / ry - 1.0f) * norm;
            return outline > 0.0f ? std::fabs(d + outline * 0.5f) - outline * 0.5f : d;
        },
        One);
}

void Dots(Canvas& canvas, float x0, float x1, float y, float spacing, float radius, const Colour& colour, bool fade)
{
    const int count = int(std::floor(std::fabs(x1 - x0) / spacing + 0.001f));
    const float step = x1 >= x0 ? spacing : -spacing;
    for (int i = 0; i <= count; ++i) {
        const float t = count > 0 ? float(i) / float(count) : 0.0f;
        const float r = fade ? radius * (1.0f - 0.6f * t) : radius;
        Colour c = colour;
        if (fade)
            c.a *= 1.0f - 0.7f * t;
        Disc(canvas, x0 + step * float(i), y, r, c);
    }
}

void Glow(Canvas& canvas, float cx, float cy, float rx, float ry, const Colour& colour)
{
    Fill(
        canvas, cx - 2.0f * rx, cy - 2.0f * ry, cx + 2.0f * rx, cy + 2.0f * ry, colour,
        [](float, float) { return -1.0f; },
        [=](float px, float py) {
            const float u = (px - cx) / rx, v = (py - cy) / ry;
            return std::exp(-2.0f * (u * u + v * v));
        });
}

void Dial(Canvas& canvas, float cx, float cy, float radius, const Colour& colour, float hours, int ticks)
{
    const float line = std::max(1.6f, radius * 0.035f);
    Ring(canvas, cx, cy, radius, line, colour);
    Colour faint = colour;
    faint.a *= 0.45f;
    Ring(canvas, cx, cy, radius * 1.16f, line * 0.6f, faint);
    for (int i = 0; i < ticks; ++i) {
        const bool major = i % (ticks / 4 > 0 ? ticks / 4 : 1) == 0;
        const float angle = 360.0f * float(i) / float(ticks);
        float ax, ay, bx, by;
        Polar(cx, cy, angle, radius * (major ? 0.70f : 0.80f), ax, ay);
        Polar(cx, cy, angle, radius * 0.90f, bx, by);
        Segment(canvas, ax, ay, bx, by, major ? line * 1.3f : line * 0.8f, major ? colour : faint);
    }
    float hx, hy, mx, my;
    Polar(cx, cy, hours * 30.0f, radius * 0.48f, hx, hy);
    Polar(cx, cy, hours * 360.0f, radius * 0.66f, mx, my);
    Segment(canvas, cx, cy, hx, hy, line * 1.6f, colour);
    Segment(canvas, cx, cy, mx, my, line, colour);
    Disc(canvas, cx, cy, line * 1.8f, colour);
    // The meridian: a hairline through the dial, past its rim, north to south.
    Segment(canvas, cx, cy - radius * 1.45f, cx, cy - radius * 1.22f, line * 0.7f, faint);
    Segment(canvas, cx, cy + radius * 1.22f, cx, cy + radius * 1.45f, line * 0.7f, faint);
    Diamond(canvas, cx, cy - radius * 1.16f, line * 2.2f, line * 3.0f, colour);
}

void Divider(Canvas& canvas, float cx, float y, float halfWidth, const Colour& colour)
{
    const float gap = 22.0f;
    Diamond(canvas, cx, y, 7.0f, 11.0f, colour, 2.0f);
    Disc(canvas, cx, y, 2.2f, colour);
    Rule(canvas, cx + gap, cx + halfWidth, y, 2.6f, colour, 0.04f, 0.9f);
    Rule(canvas, cx - halfWidth, cx - gap, y, 2.6f, colour, 0.9f, 0.04f);
    Colour soft = colour;
    soft.a *= 0.7f;
    Disc(canvas, cx + halfWidth + 14.0f, y, 2.4f, soft);
    Disc(canvas, cx - halfWidth - 14.0f, y, 2.4f, soft);
}

}  // namespace ornament
