// Centring a window, including windows larger than the screen.
#include <gtest/gtest.h>

#include "engine/WindowPlacement.h"

namespace {

TEST(CentreWindow, Table)
{
    struct Case { int w, h, sw, sh, x, y; } cases[] = {
        {800, 600, 1920, 1080, 560, 240},
        {1920, 1080, 1920, 1080, 0, 0},
        {801, 601, 1920, 1080, 559, 239},    // halves truncate
        {2000, 1200, 1920, 1080, -80, -120}, // right and bottom edges on the screen's
        {2000, 600, 1920, 1080, -80, 240},
    };
    for (const Case& c : cases) {
        const WindowPosition at = CentreWindow(c.w, c.h, c.sw, c.sh);
        EXPECT_EQ(at.x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(at.y, c.y) << c.w << "x" << c.h;
    }
}

}  // namespace
