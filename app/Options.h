// Command-line options. With none, the program shows the settings dialog and plays the demo.
#pragma once

#include <string>
#include <vector>

// What the command line asked for. Each option is one row of the table in Options.cpp, which
// also writes the help; the notes here are what a field's value means beyond it.
struct Options {
    bool help = false;
    bool version = false;
    bool skipDialog = false;  // a size was given
    bool fullscreen = true;
    int width = 0;
    int height = 0;
    float aspectRatio = 0.0f;  // 0 takes the ratio of the size
    long frames = -1;          // -1: no limit
    double fixedStep = 0.0;    // 0: measured time
    double until = -1.0;       // -1: no limit
    std::vector<double> shots;
    std::string outDir;
    bool mute = false;
    std::string dataPath;  // empty: data.pak beside the program
    bool checkData = false;
    std::string scene;  // empty: the demo script
    std::string frameTimes;
    bool letterbox = false;
    double seek = -1.0;
    double loopStart = -1.0;  // < 0: no loop
    double loopEnd = -1.0;
    std::string captureDir;
    int fpsNumerator = 0;
    int fpsDenominator = 1;
    double rangeStart = 0.0;
    double rangeEnd = -1.0;  // < 0: to the end
    bool benchmark = false;
    std::string csv;
    bool dev = false;
    bool vsync = true;
};

// Whether frames wait for the display's refresh: unless --no-vsync, and never for runs on a
// clock of their own (--benchmark, --capture, --fixed-step), which draw as fast as they can.
bool WantsVerticalSync(const Options& options);
// Whether the demo clock follows the music: a run in real time with the overlay off (its
// pause, speed and scrubbing move the picture on purpose).
bool FollowsTheMusic(const Options& options);

// Empty on success, else the one-line reason.
std::string ParseOptions(int argc, const char* const* argv, Options& options);
std::string Usage();
