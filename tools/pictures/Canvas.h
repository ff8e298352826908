// Canvas: a floating-point, premultiplied RGBA layer that pictures are painted into,
// and the finishing step that adds the dark halo and converts it to 8-bit straight RGBA.
#pragma once

#include <cstdint>
#include <vector>

// Straight (not premultiplied) colour, components 0..1.
struct Colour {
    float r, g, b, a;
};

// A colour that may change from top to bottom: `top` at y <= y0, `bottom` at y >= y1
// (pixel rows), linear in between. A solid paint has top == bottom.
struct Paint {
    Colour top;
    Colour bottom;
    float y0 = 0.0f;
    float y1 = 1.0f;

    Paint(const Colour& solid) : top(solid), bottom(solid) {}
    Paint(const Colour& t, const Colour& b, float from, float to) : top(t), bottom(b), y0(from), y1(to) {}
    Colour At(float y) const;
    Paint Faded(float alpha) const;  // same paint with both alphas multiplied by `alpha`
};

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Composites `colour` over pixel (x, y) with the given coverage (0..1); pixels outside are ignored.
    void Blend(int x, int y, float coverage, const Colour& colour);
    // Composites `top` (same size) over this layer.
    void Over(const Canvas& top);
    // Removes ink where `mask` (one value per pixel, 0..1) is set: the ink is scaled by 1 - mask.
    void Knockout(const std::vector<float>& mask);
    // The alpha plane, one value per pixel, rows top to bottom.
    std::vector<float> Alpha() const;

    const std::vector<float>& Pixels() const { return m_rgba; }

private:
    int m_width;
    int m_height;
    std::vector<float> m_rgba;  // premultiplied
};

// Blurs a plane of width x height values in place with an approximate Gaussian of the given sigma
// (pixels); values outside the plane count as 0.
void BlurPlane(std::vector<float>& plane, int width, int height, float sigma);

// The dark glow laid under the ink so light text reads over bright and busy backgrounds:
// a tight rim and a wide soft shadow, both derived from the blurred ink alpha.
struct Halo {
    Colour colour;
    float tightSigma, tightGain, tightMax;
    float wideSigma, wideGain, wideMax;
};

// Lays the halo under `ink` and returns 8-bit straight RGBA, rows top to bottom. Fully transparent
// pixels carry the halo colour so that filtering and mipmapping never bleed a light fringe.
std::vector<std::uint8_t> Finish(const Canvas& ink, const Halo& halo);
