// Ornament: anti-aliased vector shapes (rules, dots, diamonds, rings, the dial emblem, soft glows)
// painted onto a Canvas. Coordinates and sizes are in pixels, y down; angles in degrees clockwise from 12.
#pragma once

#include "Canvas.h"

namespace ornament {

// A horizontal hairline from x0 to x1 at y whose thickness and alpha taper to nothing towards the
// x0 end over `taper0` and towards the x1 end over `taper1` (fractions 0..1 of its length; 0 = blunt).
void Rule(Canvas& canvas, float x0, float x1, float y, float thickness, const Colour& colour, float taper0,
          float taper1);
// A straight stroke with round caps.
void Segment(Canvas& canvas, float x0, float y0, float x1, float y1, float width, const Colour& colour);
void Disc(Canvas& canvas, float cx, float cy, float radius, const Colour& colour);
void Ring(Canvas& canvas, float cx, float cy, float radius, float width, const Colour& colour);
// A lozenge with half-axes rx, ry; `outline` > 0 draws only its edge that wide.
void Diamond(Canvas& canvas, float cx, float cy, float rx, float ry, const Colour& colour, float outline = 0.0f);
// A row of dots from x0 to x1 (inclusive) every `spacing` pixels; with `fade` they shrink towards x1.
void Dots(Canvas& canvas, float x0, float x1, float y, float spacing, float radius, const Colour& colour, bool fade);
// A soft elliptical light (Gaussian-like falloff), for a faint glow behind a wordmark.
void Glow(Canvas& canvas, float cx, float cy, float rx, float ry, const Colour& colour);

// The house emblem: a clock dial with `ticks` marks (every third one longer), a pivot and two
// hands at the given clock time (hours 0..12, fractional); at 12:00 the hands make the meridian.
void Dial(Canvas& canvas, float cx, float cy, float radius, const Colour& colour, float hours, int ticks = 12);

// A centred divider: two rules tapering away from a central diamond, with a dot beyond each tip.
void Divider(Canvas& canvas, float cx, float y, float halfWidth, const Colour& colour);

}  // namespace ornament
