// Command-line options: accepted forms and one-line refusals.
#include <gtest/gtest.h>

#include <string>
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

TEST(Options, MakersOptions)
{
    Options none;
    EXPECT_EQ(Parse({"--window", "640x360"}, none), "");
    EXPECT_FALSE(none.letterbox || none.benchmark || none.dev);
    EXPECT_LT(none.seek, 0);
    EXPECT_LT(none.loopStart, 0);
    EXPECT_TRUE(none.captureDir.empty());

    Options play;
    EXPECT_EQ(Parse({"--letterbox", "--seek", "100", "--loop", "40:52.5", "--dev"}, play), "");
    EXPECT_TRUE(play.letterbox && play.dev);
    EXPECT_DOUBLE_EQ(play.seek, 100);
    EXPECT_DOUBLE_EQ(play.loopStart, 40);
    EXPECT_DOUBLE_EQ(play.loopEnd, 52.5);

    Options capture;
    EXPECT_EQ(Parse({"--capture", "out", "--fps", "60000/1001", "--range", "2:4"}, capture), "");
    EXPECT_EQ(capture.captureDir, "out");
    EXPECT_EQ(capture.fpsNumerator, 60000);
    EXPECT_EQ(capture.fpsDenominator, 1001);
    EXPECT_DOUBLE_EQ(capture.rangeStart, 2);
    EXPECT_DOUBLE_EQ(capture.rangeEnd, 4);
    Options whole;
    EXPECT_EQ(Parse({"--capture", "out", "--fps", "30"}, whole), "");
    EXPECT_EQ(whole.fpsNumerator, 30);
    EXPECT_EQ(whole.fpsDenominator, 1);
    EXPECT_LT(whole.rangeEnd, 0);

    Options bench;
    EXPECT_EQ(Parse({"--benchmark", "--csv", "b.csv"}, bench), "");
    EXPECT_TRUE(bench.benchmark);
    EXPECT_EQ(bench.csv, "b.csv");
}

TEST(Options, VerticalSyncAndMusicFollowingWhereTheRunKeepsRealTime)
{
    struct Case {
        std::vector<const char*> args;
        bool vsync, followsMusic;
    } cases[] = {
        {{}, true, true},
        {{"--window", "640x360"}, true, true},
        {{"--no-vsync"}, false, true},
        {{"--fixed-step", "0.02"}, false, false},
        {{"--benchmark"}, false, false},
        {{"--capture", "out", "--fps", "30"}, false, false},
        {{"--dev"}, true, false},
        {{"--seek", "40", "--loop", "40:52.5"}, true, true},
    };
    for (const Case& c : cases) {
        Options options;
        ASSERT_EQ(Parse(c.args, options), "");
        const std::string what = c.args.empty() ? "none" : c.args[0];
        EXPECT_EQ(WantsVerticalSync(options), c.vsync) << what;
        EXPECT_EQ(FollowsTheMusic(options), c.followsMusic) << what;
    }
}

TEST(Options, BadValuesAreRefused)
{
    const std::vector<std::vector<const char*>> cases = {
        {"--window"}, {"--window", "640"}, {"--window", "0x360"}, {"--window", "640x360x"},
        {"--window", "4294968576x720"}, {"--window", "1280x99999999999"}, {"--aspect", "4294967312:9"},
        {"--aspect", "16:9:1"}, {"--aspect", "16-9"}, {"--frames", "-1"}, {"--frames", "1.5"}, {"--frames", "ten"},
        {"--fixed-step", "0"}, {"--fixed-step", "0.02s"}, {"--until", "-3"},
        {"--shot", "1,,2", "--out", "x"}, {"--shot", "1"}, {"--out"}, {"--data"}, {"--bogus"},
        {"--seek", "-1"}, {"--seek"}, {"--loop", "5:5"}, {"--loop", "6:5"}, {"--loop", "5"}, {"--loop", "-1:5"},
        {"--capture", "x"}, {"--fps", "30"}, {"--range", "1:2"}, {"--capture", "x", "--fps", "0"},
        {"--capture", "x", "--fps", "30/0"}, {"--capture", "x", "--fps", "30/"}, {"--capture", "x", "--fps", "2.5"},
        {"--capture", "x", "--fps", "30", "--fixed-step", "0.1"}, {"--capture", "x", "--fps", "30", "--seek", "3"},
        {"--csv", "x.csv"}, {"--benchmark", "--seek", "3"},
    };
    for (const auto& args : cases) {
        Options options;
        EXPECT_NE(Parse(args, options), "") << args[0];
    }
}

// Times the clock can never reach, or reach only by a step that does not move it: each would
// hang the run (a seek or capture that never ends).
TEST(Options, TimesTheClockCannotReachAreRefused)
{
    const struct {
        std::vector<const char*> args;
        const char* says;  // a piece of the refusal
    } cases[] = {
        {{"--seek", "inf"}, "--seek needs a time"},
        {{"--seek", "nan"}, "--seek needs a time"},
        {{"--seek", "1e308"}, "--seek 1e+308: a step of 0.0166666"},
        {{"--fixed-step", "1e-300", "--seek", "1"}, "--seek 1: a step of 1e-300 s cannot move the demo clock at that time"},
        {{"--fixed-step", "inf"}, "--fixed-step needs"},
        {{"--until", "inf"}, "--until needs"},
        {{"--fixed-step", "1e-12", "--until", "1e6"}, "--until 1e+06: a step of 1e-12"},
        {{"--loop", "0:inf"}, "--loop needs"},
        {{"--loop", "1e300:1e301"}, "--loop 1e+300"},
        {{"--shot", "5,inf", "--out", "x"}, "--shot needs"},
        {{"--shot", "1e20", "--out", "x"}, "--shot 1e+20"},
        {{"--capture", "x", "--fps", "30", "--range", "0:inf"}, "--range needs"},
        {{"--capture", "x", "--fps", "30", "--range", "1e16:1e17"}, "--range 1e+16"},
        {{"--capture", "x", "--fps", "2147483647", "--range", "1e7:1.5e7"}, "--range 1e+07"},
        {{"--benchmark", "--until", "1e16"}, "--until 1e+16: a step of 0.05 s"},
    };
    for (const auto& c : cases) {
        Options options;
        const std::string problem = Parse(c.args, options);
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.args[0] << " " << c.args[1] << ": " << problem;
    }
    const std::vector<std::vector<const char*>> reachable = {
        {"--seek", "1000"}, {"--fixed-step", "1e-6", "--seek", "1"},
        {"--capture", "x", "--fps", "30", "--range", "1e12:1.000000000001e12"},
    };
    for (const auto& args : reachable) {
        Options options;
        EXPECT_EQ(Parse(args, options), "") << args[1];
    }
}

TEST(Options, ShotTimesNamingTheSamePictureAreRefused)
{
    Options same;
    EXPECT_EQ(Parse({"--shot", "0.0011,0.0014", "--out", "x"}, same),
              "--shot 0.0011 and 0.0014 both name the picture t0000.001.png; use times at least "
              "0.001 s apart");
    Options twice;
    EXPECT_NE(Parse({"--shot", "5,3,5", "--out", "x"}, twice), "");
    Options apart;
    EXPECT_EQ(Parse({"--shot", "0.001,0.002,12.5", "--out", "x"}, apart), "");
    // The pair named is the first the list meets, whatever the order of the names.
    Options groups;
    EXPECT_EQ(Parse({"--shot", "9,7,5,3,5,7", "--out", "x"}, groups),
              "--shot 7 and 7 both name the picture t0007.000.png; use times at least 0.001 s apart");
}

TEST(Options, LongShotListsAreCheckedWhole)
{
    // 50,000 times a millisecond apart (each pair compared with every other took minutes), then
    // the same list with one time repeated at its end.
    std::string times;
    for (int i = 0; i < 50000; ++i) times += std::to_string(i) + "e-3,";
    const std::string distinct = times.substr(0, times.size() - 1);
    const std::string withRepeat = times + "49.998";
    Options many;
    EXPECT_EQ(Parse({"--shot", distinct.c_str(), "--out", "x"}, many), "");
    EXPECT_EQ(many.shots.size(), 50000u);
    Options repeated;
    EXPECT_EQ(Parse({"--shot", withRepeat.c_str(), "--out", "x"}, repeated),
              "--shot 49.998 and 49.998 both name the picture t0049.998.png; use times at least 0.001 s apart");
}

}  // namespace
