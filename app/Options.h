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
};

// Empty on success, else the one-line reason.
std::string ParseOptions(int argc, const char* const* argv, Options& options);
std::string Usage();
