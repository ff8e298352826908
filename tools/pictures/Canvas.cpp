// Canvas: premultiplied float layer, separable blur and the halo finishing step.
#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

float Clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

constexpr float kWashAlpha = 0.15f;

// One box pass of radius r along rows (stride 1) or columns (stride = width), done for all lines at once.
void BoxRows(std::vector<float>& p, int w, int h, int r, std::vector<float>& line)
{
    const float scale = 1.0f / float(2 * r + 1);
    line.resize(size_t(w) + 2 * size_t(r));
    for (int y = 0; y < h; ++y) {
        float* row = &p[size_t(y) * w];
        std::fill(line.begin(), line.end(), 0.0f);
        std::copy(row, row + w, line.begin() + r);
        float sum = 0.0f;
        for (int i = 0; i < 2 * r; ++i)
            sum += line[i];
        for (int x = 0; x < w; ++x) {
            sum += line[size_t(x) + 2 * r];
            row[x] = sum * scale;
            sum -= line[x];
        }
    }
}

void BoxColumns(std::vector<float>& p, int w, int h, int r, std::vector<float>& copy)
{
    // Column sums advance row by row so memory is walked in order.
    const float scale = 1.0f / float(2 * r + 1);
    copy = p;
    std::vector<float> sum(size_t(w), 0.0f);
    auto at = [&](int y) -> const float* { return (y >= 0 && y < h) ? &copy[size_t(y) * w] : nullptr; };
    for (int y = -r; y < r; ++y)
        if (const float* row = at(y))
            for (int x = 0; x < w; ++x)
                sum[x] += row[x];
    for (int y = 0; y < h; ++y) {
        if (const float* add = at(y + r))
            for (int x = 0; x < w; ++x)
                sum[x] += add[x];
        float* out = &p[size_t(y) * w];
        for (int x = 0; x < w; ++x)
            out[x] = sum[x] * scale;
        if (const float* sub = at(y - r))
            for (int x = 0; x < w; ++x)
                sum[x] -= sub[x];
    }
}

}  // namespace

Colour Paint::At(float y) const
{
    const float t = y1 > y0 ? Clamp01((y - y0) / (y1 - y0)) : 0.0f;
    return {top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t, top.b + (bottom.b - top.b) * t,
            top.a + (bottom.a - top.a) * t};
}

Paint Paint::Faded(float alpha) const
{
    Paint p = *this;
    p.top.a *= alpha;
    p.bottom.a *= alpha;
    return p;
}

Canvas::Canvas(int width, int height) : m_width(width), m_height(height), m_rgba(size_t(width) * height * 4, 0.0f) {}

void Canvas::Blend(int x, int y, float coverage, const Colour& c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0.0f)
        return;
    const float a = Clamp01(coverage) * c.a;
    float* p = &m_rgba[(size_t(y) * m_width + x) * 4];
    p[0] = c.r * a + p[0] * (1.0f - a);
    p[1] = c.g * a + p[1] * (1.0f - a);
    p[2] = c.b * a + p[2] * (1.0f - a);
    p[3] = a + p[3] * (1.0f - a);
}

void Canvas::Over(const Canvas& top)
{
    const std::vector<float>& t = top.m_rgba;
    for (size_t i = 0; i < m_rgba.size(); i += 4) {
        const float k = 1.0f - t[i + 3];
        for (int c = 0; c < 4; ++c)
            m_rgba[i + c] = t[i + c] + m_rgba[i + c] * k;
    }
}

void Canvas::Knockout(const std::vector<float>& mask)
{
    for (size_t i = 0; i < mask.size(); ++i) {
        const float k = 1.0f - Clamp01(mask[i]);
        for (int c = 0; c < 4; ++c)
            m_rgba[i * 4 + c] *= k;
    }
}

std::vector<float> Canvas::Alpha() const
{
    std::vector<float> a(size_t(m_width) * m_height);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = m_rgba[i * 4 + 3];
    return a;
}

void BlurPlane(std::vector<float>& plane, int width, int height, float sigma)
{
    // Three box passes of radius r have variance r(r + 1), close to a Gaussian.
    const int r = std::max(1, int(std::lround(std::sqrt(sigma * sigma + 0.25f) - 0.5f)));
    std::vector<float> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        BoxRows(plane, width, height, r, scratch);
        BoxColumns(plane, width, height, r, scratch);
    }
}

std::vector<std::uint8_t> Finish(const Canvas& ink, const Halo& halo)
{
    const int w = ink.Width();
    const int h = ink.Height();
    std::vector<float> tight = ink.Alpha();
    // Faint washes such as a glow behind a wordmark would otherwise darken a wide area: only solid ink casts a halo.
    for (float& a : tight)
        a = std::max(0.0f, (a - kWashAlpha) / (1.0f - kWashAlpha));
    std::vector<float> wide = tight;
    BlurPlane(tight, w, h, halo.tightSigma);
    BlurPlane(wide, w, h, halo.wideSigma);

    const std::vector<float>& px = ink.Pixels();
    std::vector<std::uint8_t> out(size_t(w) * h * 4);
    auto byte = [](float v) { return std::uint8_t(std::lround(Clamp01(v) * 255.0f)); };
    for (size_t i = 0; i < tight.size(); ++i) {
        const float rim = std::min(halo.tightMax, tight[i] * halo.tightGain);
        const float shade = std::min(halo.wideMax, wide[i] * halo.wideGain);
        const float ha = (1.0f - (1.0f - rim) * (1.0f - shade)) * halo.colour.a;
        const float* p = &px[i * 4];
        const float keep = 1.0f - p[3];
        const float a = p[3] + ha * keep;
        std::uint8_t* o = &out[i * 4];
        if (a <= 0.0f) {
            o[0] = byte(halo.colour.r);
            o[1] = byte(halo.colour.g);
            o[2] = byte(halo.colour.b);
            o[3] = 0;
            continue;
        }
        o[0] = byte((p[0] + halo.colour.r * ha * keep) / a);
        o[1] = byte((p[1] + halo.colour.g * ha * keep) / a);
        o[2] = byte((p[2] + halo.colour.b * ha * keep) / a);
        o[3] = byte(a);
    }
    return out;
}
