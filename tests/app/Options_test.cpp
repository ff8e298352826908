// Command-line options: accepted forms and one-line refusals.
#include <gtest/gtest.h>

#include <vector>

#include "app/Options.h"

namespace {

std::string Parse(std::vector<const char*> args, Options& options)
{
    args.insert(args.begin(), "meridian");
    return ParseOptions(static_cast<int>(args.size()), args.data(), options);
}

TEST(Options, NoneMeansTheDialog)
{
    Options options;
    EXPECT_EQ(Parse({}, options), "");
    EXPECT_FALSE(options.skipDialog);
    EXPECT_FALSE(options.mute);
}

TEST(Options, WindowSkipsTheDialogAndTakesTheSizesRatio)
{
    Options options;
    EXPECT_EQ(Parse({"--window", "640x360", "--frames", "60", "--mute"}, options), "");
    EXPECT_TRUE(options.skipDialog);
    EXPECT_FALSE(options.fullscreen);
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 360);
    EXPECT_FLOAT_EQ(options.aspectRatio, 16.0f / 9.0f);
    EXPECT_EQ(options.frames, 60);
    EXPECT_TRUE(options.mute);
}

TEST(Options, AspectAndCaptureSettings)
{
    Options options;
    EXPECT_EQ(Parse({"--aspect", "4:3", "--fullscreen", "1920x1080", "--fixed-step", "0.02", "--shot", "12.5,3",
                     "--out", "/tmp/x", "--until", "20", "--data", "d.pak"},
                    options),
              "");
    EXPECT_TRUE(options.fullscreen);
    EXPECT_FLOAT_EQ(options.aspectRatio, 4.0f / 3.0f);
    EXPECT_DOUBLE_EQ(options.fixedStep, 0.02);
    EXPECT_EQ(options.shots, (std::vector<double>{12.5, 3}));
    EXPECT_EQ(options.outDir, "/tmp/x");
    EXPECT_DOUBLE_EQ(options.until, 20);
    EXPECT_EQ(options.dataPath, "d.pak");
}

TEST(Options, CheckDataTakesAnOptionalPath)
{
    Options bare;
    EXPECT_EQ(Parse({"--check-data"}, bare), "");
    EXPECT_TRUE(bare.checkData);
    EXPECT_EQ(bare.dataPath, "");
    Options withPath;
    EXPECT_EQ(Parse({"--check-data", "build/data.pak"}, withPath), "");
    EXPECT_EQ(withPath.dataPath, "build/data.pak");
}

TEST(Options, BadValuesAreRefused)
{
    const std::vector<std::vector<const char*>> cases = {
        {"--window"}, {"--window", "640"}, {"--window", "0x360"}, {"--window", "640x360x"},
        {"--window", "4294968576x720"}, {"--window", "1280x99999999999"}, {"--aspect", "4294967312:9"},
        {"--aspect", "16:9:1"}, {"--aspect", "16-9"}, {"--frames", "-1"}, {"--frames", "1.5"}, {"--frames", "ten"},
        {"--fixed-step", "0"}, {"--fixed-step", "0.02s"}, {"--until", "-3"},
        {"--shot", "1,,2", "--out", "x"}, {"--shot", "1"}, {"--out"}, {"--data"}, {"--bogus"},
    };
    for (const auto& args : cases) {
        Options options;
        EXPECT_NE(Parse(args, options), "") << args[0];
    }
}

}  // namespace
