// Which display mode full screen switches to.
#include <gtest/gtest.h>

#include "platform/Display.h"

namespace {

using Platform::DisplayMode;
using Platform::PickFullscreenMode;

TEST(FullscreenMode, TheDesktopsDepthAndRefreshRateComeFirst)
{
    // As SDL sorts them: highest refresh first within a size.
    const std::vector<DisplayMode> modes = {
        {{2560, 1440}, 32, 144}, {{2560, 1440}, 32, 60}, {{1920, 1080}, 32, 144},
        {{1920, 1080}, 24, 60},  {{1920, 1080}, 32, 60}, {{1280, 720}, 32, 144},
    };
    const DisplayMode desktop{{2560, 1440}, 32, 60};
    EXPECT_EQ(PickFullscreenMode(modes, desktop, {2560, 1440}), 1) << "the desktop's own mode: no switch";
    EXPECT_EQ(PickFullscreenMode(modes, desktop, {1920, 1080}), 4) << "the desktop's depth and refresh, not 144 Hz";
    EXPECT_EQ(PickFullscreenMode(modes, desktop, {1280, 720}), 5) << "only 144 Hz at that size: the first";
    EXPECT_EQ(PickFullscreenMode(modes, desktop, {1000, 700}), -1);
    EXPECT_EQ(PickFullscreenMode({}, desktop, {2560, 1440}), -1);
    // A driver that reports no refresh rate (0) matches a desktop that reports none.
    EXPECT_EQ(PickFullscreenMode({{{800, 600}, 32, 75}, {{800, 600}, 32, 0}}, {{800, 600}, 32, 0}, {800, 600}), 1);
}

}  // namespace
