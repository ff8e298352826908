// Command-line parsing: every value is checked whole, so "12x" or "0.5s" is refused.
#include "app/Options.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Settings.h"
#include "worlds/ViewerScenes.h"

namespace {

// The whole text is a pair of positive ints: "12x" and "1280x720x" are refused.
bool ParsePair(const std::string& text, char separator, int& first, int& second)
{
    const char* end = nullptr;
    int a = 0, b = 0;
    if (!ReadNumberPair(text.c_str(), separator, a, b, &end) || *end != 0 || a <= 0 || b <= 0) return false;
    first = a;
    second = b;
    return true;
}

bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == 0 && value == value;
}

std::string SceneList()
{
    std::string list;
    for (const std::string& name : ViewerSceneNames()) list += " " + name;
    return list;
}

}  // namespace

std::string Usage()
{
    return "usage: meridian [options]\n"
           "  --window WxH         play in a window of this client size (no settings dialog)\n"
           "  --fullscreen WxH     play full screen in this mode (no settings dialog)\n"
           "  --aspect N:D         aspect ratio (default: the ratio of the size)\n"
           "  --frames N           stop after N frames\n"
           "  --fixed-step S       advance the demo by S seconds per frame\n"
           "  --until T            stop once demo time reaches T seconds\n"
           "  --shot T[,T...]      write the frame at each demo time T as a PNG (needs --out)\n"
           "  --out DIR            folder for --shot pictures (made if missing)\n"
           "  --mute               open no audio device\n"
           "  --data PATH          use this archive or folder instead of data.pak\n"
           "  --check-data [PATH]  load and check every material, shader and image, then exit\n"
           "  --frame-times FILE   write each frame's demo time and cost in ms as CSV (for benchmarks)\n"
           "  --scene NAME         show one scene alone against the demo clock:" + SceneList() + "\n"
           "  --help, --version\n";
}

std::string ParseOptions(int argc, const char* const* argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        double number = 0;
        if (option == "--help") {
            options.help = true;
        } else if (option == "--version") {
            options.version = true;
        } else if (option == "--window" || option == "--fullscreen") {
            if (!value(text) || !ParsePair(text, 'x', options.width, options.height))
                return option + " needs a size such as 1280x720";
            options.skipDialog = true;
            options.fullscreen = option == "--fullscreen";
        } else if (option == "--aspect") {
            int n = 0, d = 0;
            if (!value(text) || !ParsePair(text, ':', n, d)) return "--aspect needs a ratio such as 16:9";
            options.aspectRatio = static_cast<float>(n) / static_cast<float>(d);
        } else if (option == "--frames") {
            if (!value(text) || !ParseNumber(text, number) || number < 0 || number > 1e12 ||
                number != static_cast<double>(static_cast<long>(number)))
                return "--frames needs a whole number of frames";
            options.frames = static_cast<long>(number);
        } else if (option == "--fixed-step") {
            if (!value(text) || !ParseNumber(text, number) || number <= 0)
                return "--fixed-step needs a positive number of seconds";
            options.fixedStep = number;
        } else if (option == "--until") {
            if (!value(text) || !ParseNumber(text, number) || number < 0)
                return "--until needs a time in seconds";
            options.until = number;
        } else if (option == "--shot") {
            if (!value(text)) return "--shot needs one or more times, such as 12.5,30";
            size_t start = 0;
            for (;;) {
                const size_t comma = text.find(',', start);
                if (!ParseNumber(text.substr(start, comma - start), number) || number < 0)
                    return "--shot needs one or more times, such as 12.5,30";
                options.shots.push_back(number);
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        } else if (option == "--out") {
            if (!value(options.outDir) || options.outDir.empty()) return "--out needs a folder";
        } else if (option == "--mute") {
            options.mute = true;
        } else if (option == "--data") {
            if (!value(options.dataPath) || options.dataPath.empty()) return "--data needs a path";
        } else if (option == "--check-data") {
            options.checkData = true;
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) options.dataPath = argv[++i];
        } else if (option == "--frame-times") {
            if (!value(options.frameTimes) || options.frameTimes.empty()) return "--frame-times needs a file";
        } else if (option == "--scene") {
            const std::vector<std::string> names = ViewerSceneNames();
            if (!value(options.scene) || std::find(names.begin(), names.end(), options.scene) == names.end())
                return "--scene needs one of" + SceneList();
        } else {
            return "unknown option " + option;
        }
    }
    if (!options.shots.empty() && options.outDir.empty()) return "--shot needs --out DIR";
    if (options.aspectRatio == 0.0f && options.skipDialog)
        options.aspectRatio = static_cast<float>(options.width) / static_cast<float>(options.height);
    return {};
}
