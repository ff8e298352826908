// The benchmark's statistics, table, CSV and plot from known frame times.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "makers/Benchmark.h"

namespace {

// Frames 0.05 s apart over the whole run; each span's frames cost its own ramp.
std::vector<FrameTimes::Frame> Frames()
{
    std::vector<FrameTimes::Frame> frames;
    for (int i = 1; i * 0.05 < kBenchmarkEnd; ++i) {
        const double t = i * 0.05;
        frames.push_back({t, t < 27 ? 10.0 + i % 10 : t < 76.6 ? 30.0 : 5.0, 0.0});
    }
    return frames;
}

TEST(Benchmark, StatisticsByNearestRankWithinTheSpan)
{
    std::vector<FrameTimes::Frame> frames;
    for (int i = 1; i <= 100; ++i) frames.push_back({i * 0.1, static_cast<double>(i), 0.0});
    frames.push_back({50.0, 1000.0, 0.0});  // outside the span asked for
    const FrameStats stats = Summarize(frames, 0, 10.05);
    EXPECT_EQ(stats.frames, 100);
    EXPECT_DOUBLE_EQ(stats.median, 50.5);
    EXPECT_DOUBLE_EQ(stats.p95, 95);
    EXPECT_DOUBLE_EQ(stats.worst, 100);

    const FrameStats odd = Summarize({{1, 3, 0}, {2, 1, 0}, {3, 2, 0}}, 0, 10);
    EXPECT_DOUBLE_EQ(odd.median, 2);
    EXPECT_DOUBLE_EQ(odd.p95, 3);
    EXPECT_EQ(Summarize(frames, 200, 300).frames, 0);  // an empty span reads as zeros, not a crash
}

TEST(Benchmark, TheSpansCoverTheScriptWithoutGaps)
{
    EXPECT_EQ(kSceneSpans[0].start, 0);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(kSceneSpans[i].start, kSceneSpans[i - 1].end);
    EXPECT_EQ(kSceneSpans[4].end, kBenchmarkEnd);
    EXPECT_DOUBLE_EQ(kSceneSpans[1].start, 27);
    EXPECT_DOUBLE_EQ(kSceneSpans[2].start, 76.6);
}

TEST(Benchmark, TableCsvAndPlotCarryTheSameNumbers)
{
    StartupSplit startup;
    startup.archive = 0.25;
    startup.textures = 1.5;
    startup.shaders = 0.75;
    startup.worlds = 0.5;
    startup.total = 3.25;
    const std::vector<FrameTimes::Frame> frames = Frames();
    const std::string table = BenchmarkTable(frames, 2.5, startup, 320, 180);
    EXPECT_NE(table.find("320x180"), std::string::npos);
    EXPECT_NE(table.find("terrain        27.0-76.6     992    30.00    30.00    30.00     2.50"), std::string::npos)
        << table;
    EXPECT_NE(table.find("archive 0.25 s, textures 1.50 s, shaders 0.75 s, worlds 0.50 s"), std::string::npos);

    const std::string csv = BenchmarkCsv(frames, 2.5, startup);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "span,start_s,end_s,frames,median_ms,p95_ms,worst_ms,floor_ms");
    EXPECT_NE(csv.find("\nterrain,27.0,76.6,992,30.000,30.000,30.000,2.500\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nstartup,0.250,1.500,0.750,0.500,"), std::string::npos);

    const std::string svg = BenchmarkSvg(frames, 2.5);
    EXPECT_EQ(svg.rfind("<svg", 0), 0u);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    for (const SceneSpan& span : kSceneSpans) EXPECT_NE(svg.find(span.name), std::string::npos);
    EXPECT_NE(svg.find("floor 2.50 ms"), std::string::npos);
}

TEST(Benchmark, ThePlotGoesBesideTheCsv)
{
    EXPECT_EQ(SvgPathBeside("out/bench.csv"), "out/bench.svg");
    EXPECT_EQ(SvgPathBeside("bench"), "bench.svg");
    EXPECT_EQ(SvgPathBeside("my.dir/bench"), "my.dir/bench.svg");
    EXPECT_EQ(SvgPathBeside(".hidden"), ".hidden.svg");
}

}  // namespace
