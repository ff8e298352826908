// Command-line options. With none, the program shows the settings dialog and plays the demo.
#pragma once

#include <string>
#include <vector>

struct Options {
    bool help = false;
    bool version = false;
    // --window WxH or --fullscreen WxH skip the dialog.
    bool skipDialog = false;
    bool fullscreen = true;
    int width = 0;
    int height = 0;
    float aspectRatio = 0.0f;     // --aspect N:D; 0 takes the ratio of the size
    long frames = -1;             // --frames N: stop after N frames
    double fixedStep = 0.0;       // --fixed-step S: seconds per frame instead of measured time
    double until = -1.0;          // --until T: stop once demo time reaches T
    std::vector<double> shots;    // --shot T[,T...]: demo times to capture
    std::string outDir;           // --out DIR: where the captures go
    bool mute = false;            // --mute: no audio device is opened
    std::string dataPath;         // --data PATH: archive or folder instead of data.pak
    bool checkData = false;       // --check-data [PATH]: validate the content and exit
    std::string scene;            // --scene NAME: one scene alone instead of the demo script
    std::string frameTimes;       // --frame-times FILE: each frame's cost written as CSV at the end
    bool letterbox = false;       // --letterbox: black bars instead of a stretched picture
    double seek = -1.0;           // --seek T: start at demo time T
    double loopStart = -1.0;      // --loop A:B: repeat demo time A..B (loopStart < 0: no loop)
    double loopEnd = -1.0;
    std::string captureDir;       // --capture DIR: every frame as PNG, the music as WAV, a video
    int fpsNumerator = 0;         // --fps N or N/D: the capture's frame rate
    int fpsDenominator = 1;
    double rangeStart = 0.0;      // --range A:B: the span captured (rangeEnd < 0: to the end)
    double rangeEnd = -1.0;
    bool benchmark = false;       // --benchmark: fixed step, no audio, a table of frame costs
    std::string csv;              // --csv FILE: the benchmark's table as CSV, its plot beside it
    bool dev = false;             // --dev: the developer overlay
    bool vsync = true;            // --no-vsync: frames as fast as the machine draws them
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
