// The benchmark (--benchmark): frame costs per scene span of the demo script next to the floor
// of one textured full-screen pass at the same size, and the start-up time split by kind.
#pragma once

#include <string>
#include <vector>

#include "demo/DemoScript.h"
#include "makers/FrameTimes.h"

class IWindow;

// The benchmark plays the script to its end, and reports the script's scene spans.
constexpr double kBenchmarkEnd = kScriptEnd;
// The benchmark's step when the run names none.
constexpr double kBenchmarkStep = 0.05;

struct FrameStats {
    int frames = 0;
    double median = 0;
    double p95 = 0;
    double worst = 0;
};

// Statistics of the frames whose demo time lies in [start, end).
FrameStats Summarize(const std::vector<FrameTimes::Frame>& frames, double start, double end);

// Seconds from launch to the first demo frame, by what they were spent on.
struct StartupSplit {
    double window = 0;    // the window, its context and the feature check
    double archive = 0;   // mounting the data and bringing up the factory and renderer
    double textures = 0;  // decoding and uploading pictures
    double shaders = 0;   // compiling and linking
    double worlds = 0;    // the rest of building the worlds and the script
    double total = 0;     // launch to the first demo frame presented
};

// Milliseconds per frame of one textured full-screen pass over the window, presented as the
// demo's frames are: the floor under every scene. Draws into the current context.
double MeasureFloor(IWindow* window, int width, int height);

// The table as text and as CSV.
std::string BenchmarkTable(const std::vector<FrameTimes::Frame>& frames, double floorMs, const StartupSplit& startup,
                           int width, int height);
std::string BenchmarkCsv(const std::vector<FrameTimes::Frame>& frames, double floorMs, const StartupSplit& startup);
// Frame time over demo time, the spans shaded and named, the floor as a line.
std::string BenchmarkSvg(const std::vector<FrameTimes::Frame>& frames, double floorMs);
// "dir/b.csv" -> "dir/b.svg"; a name without an extension gets ".svg" added.
std::string SvgPathBeside(const std::string& csvPath);

// Measures the floor, prints the table and writes the CSV and its plot when csvPath is set.
// False, with the reason logged, when a file cannot be written.
bool ReportBenchmark(const FrameTimes& times, IWindow* window, int width, int height, const StartupSplit& startup,
                     const std::string& csvPath);
