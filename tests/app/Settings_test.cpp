// The settings dialog's lists, pre-selections and typed values.
#include <gtest/gtest.h>

#include "app/Settings.h"

namespace {

using Modes = std::vector<Platform::Size>;
using Texts = std::vector<std::string>;

TEST(SettingsChoices, DistinctModesInNumericOrder)
{
    const Modes modes = {{1920, 1080}, {800, 600}, {1920, 1080}, {1280, 1024}, {1280, 720}, {800, 600}, {10000, 20}};
    const SettingsChoices choices = MakeSettingsChoices(modes, {1920, 1080});
    EXPECT_EQ(choices.resolutions, (Texts{"800x600", "1280x720", "1280x1024", "1920x1080", "10000x20"}));
    EXPECT_EQ(choices.selectedResolution, 3);
    EXPECT_EQ(choices.aspects, (Texts{"4:3", "5:4", "16:9", "16:10"}));
}

TEST(SettingsChoices, DesktopPreselectsItsSizeAndRatio)
{
    struct Case { Platform::Size desktop; int resolution; int aspect; } cases[] = {
        {{1920, 1080}, 1, 2},
        {{1280, 1024}, 0, 1},
        {{1024, 768}, -1, 0},
        {{1680, 1050}, -1, 3},
        {{2560, 1080}, -1, -1},
        {{0, 0}, -1, -1},
    };
    const Modes modes = {{1920, 1080}, {1280, 1024}};
    for (const Case& c : cases) {
        const SettingsChoices choices = MakeSettingsChoices(modes, c.desktop);
        EXPECT_EQ(choices.selectedResolution, c.resolution) << c.desktop.width << "x" << c.desktop.height;
        EXPECT_EQ(choices.selectedAspect, c.aspect) << c.desktop.width << "x" << c.desktop.height;
    }
}

TEST(AcceptSettings, TypedValuesAreTakenAsTyped)
{
    struct Case { const char* resolution; const char* aspect; int width; int height; float ratio; } cases[] = {
        {"1920x1080", "16:10", 1920, 1080, 1.6f},
        {"1000x700", "21:9", 1000, 700, 21.0f / 9.0f},
        {"640x480", "4:3", 640, 480, 1.3333334f},
    };
    for (const Case& c : cases) {
        Settings settings;
        EXPECT_EQ(AcceptSettings(c.resolution, c.aspect, settings), "");
        EXPECT_TRUE(settings.accepted);
        EXPECT_EQ(settings.width, c.width);
        EXPECT_EQ(settings.height, c.height);
        EXPECT_FLOAT_EQ(settings.aspectRatio, c.ratio);
        EXPECT_TRUE(settings.fullscreen);
    }
}

TEST(AcceptSettings, NothingStartsWithoutAPositiveSizeAndRatio)
{
    struct Case { const char* resolution; const char* aspect; } cases[] = {
        {"", "16:9"}, {"1280", "16:9"}, {"0x720", "16:9"}, {"-5x720", "16:9"}, {"wide", "16:9"},
        {"1280x720", ""}, {"1280x720", "16:0"}, {"1280x720", "0:9"}, {"1280x720", "16"},
        // too large for an int: refused, not wrapped into 1215752191x720 or 1280x720
        {"99999999999x720", "16:9"}, {"4294968576x720", "16:9"}, {"1280x720", "4294967312:9"},
    };
    for (const Case& c : cases) {
        Settings settings;
        EXPECT_NE(AcceptSettings(c.resolution, c.aspect, settings), "") << c.resolution << " " << c.aspect;
        EXPECT_FALSE(settings.accepted);
        EXPECT_EQ(settings.width, -1);
        EXPECT_EQ(settings.aspectRatio, 0.0f);
    }
}

}  // namespace
