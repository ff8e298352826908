// Fills closed contours with the GLU tessellator: the caps of extruded glyph outlines.
#pragma once

#include <vector>

#include "platform/GlyphOutlines.h"

// Fills contours by the non-zero winding rule (as font outlines are meant to be filled) and
// returns the triangles, three points each, counter-clockwise seen from +z. Empty when the
// contours enclose nothing or the tessellator reports an error.
std::vector<GlyphPoint> TessellateContours(const std::vector<GlyphContour>& contours);
