// Command-line parsing: every value is checked whole, so "12x" or "0.5s" is refused.
#include "app/Options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Settings.h"
#include "makers/Benchmark.h"
#include "makers/FrameCapture.h"
#include "makers/Seek.h"
#include "viewer/ViewerScenes.h"

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

bool ParseNumber(const std::string& text, double& value);

// "A:B" with 0 <= A < B.
bool ParseSpan(const std::string& text, double& start, double& end)
{
    const size_t colon = text.find(':');
    return colon != std::string::npos && ParseNumber(text.substr(0, colon), start) &&
           ParseNumber(text.substr(colon + 1), end) && start >= 0 && end > start;
}

// "N" or "N/D", both positive.
bool ParseRate(const std::string& text, int& numerator, int& denominator)
{
    if (text.find('/') != std::string::npos) return ParsePair(text, '/', numerator, denominator);
    int n = 0, d = 0;
    if (!ParsePair(text + "/1", '/', n, d)) return false;
    numerator = n;
    denominator = 1;
    return true;
}

bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == 0 && std::isfinite(value);
}

// The shortest text that reads back as value.
std::string Shown(double value)
{
    char text[32];
    for (int digits = 6; digits < 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) return text;
    }
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The step the demo clock takes towards the times asked for: a capture's frame, the fixed step,
// the benchmark's, or the step of a seek (a live run measures its own, larger steps).
double ClockStep(const Options& options)
{
    if (!options.captureDir.empty()) return static_cast<double>(options.fpsDenominator) / options.fpsNumerator;
    if (options.fixedStep > 0) return options.fixedStep;
    return options.benchmark ? kBenchmarkStep : kDefaultSeekStep;
}

// A step below half the spacing of doubles at a time is lost when added there: the clock would
// stand still and a seek, a loop or a capture never reach the time.
std::string UnreachableTime(const Options& options)
{
    const double step = ClockStep(options);
    const std::pair<const char*, double> times[] = {
        {"--seek", options.seek},           {"--until", options.until},       {"--loop", options.loopStart},
        {"--loop", options.loopEnd},        {"--range", options.rangeStart},  {"--range", options.rangeEnd},
        {"--shot", options.shots.empty() ? -1.0 : *std::max_element(options.shots.begin(), options.shots.end())},
    };
    for (const auto& [option, time] : times)
        if (time > 0 && !(time + step > time))
            return std::string(option) + " " + Shown(time) + ": a step of " + Shown(step) +
                   " s cannot move the demo clock at that time; choose an earlier time or a larger step";
    return {};
}

// Two shot times that round to the same file name would overwrite each other's picture. Sorted by
// name, so a list of thousands is checked at once; the pair named is the one met first in the list.
std::string SameShotName(const std::vector<double>& shots)
{
    std::vector<std::pair<std::string, size_t>> names;
    names.reserve(shots.size());
    for (size_t i = 0; i < shots.size(); ++i) names.emplace_back(CapturePath("", shots[i]), i);
    std::sort(names.begin(), names.end());
    size_t first = shots.size(), second = 0;
    for (size_t k = 1; k < names.size(); ++k)
        if (names[k].first == names[k - 1].first && (k < 2 || names[k - 2].first != names[k].first) &&
            names[k - 1].second < first) {
            first = names[k - 1].second;
            second = names[k].second;
        }
    if (first == shots.size()) return {};
    return "--shot " + Shown(shots[first]) + " and " + Shown(shots[second]) + " both name the picture " +
           CapturePath("", shots[first]).substr(1) + "; use times at least 0.001 s apart";
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
           "  --data PATH          use this archive or folder instead of data.pak; with a folder, materials\n"
           "                       and shaders edited while the demo runs are reloaded (a version that\n"
           "                       fails keeps the last good one; its errors go to the log and, with\n"
           "                       --dev, to the overlay)\n"
           "  --check-data [PATH]  load and check every material, shader and image, then exit\n"
           "  --frame-times FILE   write each frame's demo time and cost in ms as CSV (for benchmarks)\n"
           "  --scene NAME         show one scene alone against the demo clock:" + SceneList() + "\n"
           "  --letterbox          keep the aspect ratio with black bars when the window's shape differs\n"
           "  --seek T             start at demo time T, in the state of a demo played up to T\n"
           "  --loop A:B           repeat demo time A..B, music included, until Escape\n"
           "  --capture DIR        write every frame as a PNG, the music as a WAV and (with ffmpeg) a video\n"
           "  --fps N[/D]          the capture's frame rate, such as 60 or 60000/1001 (needs --capture)\n"
           "  --range A:B          capture only demo time A..B (needs --capture)\n"
           "  --benchmark          play the whole demo at a fixed step without audio and print frame costs\n"
           "  --csv FILE           write the benchmark's table as CSV and its plot as FILE.svg\n"
           "  --dev                developer overlay: scrub bar, pause, speed, A-B loop, frame times, worlds,\n"
           "                       failed reloads of a --data folder\n"
           "  --no-vsync           draw frames as fast as the machine can, not in step with the display\n"
           "                       (--benchmark, --capture and --fixed-step never wait for it)\n"
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
        } else if (option == "--letterbox") {
            options.letterbox = true;
        } else if (option == "--seek") {
            if (!value(text) || !ParseNumber(text, number) || number < 0) return "--seek needs a time in seconds";
            options.seek = number;
        } else if (option == "--loop") {
            if (!value(text) || !ParseSpan(text, options.loopStart, options.loopEnd))
                return "--loop needs a span of demo time such as 40:52";
        } else if (option == "--capture") {
            if (!value(options.captureDir) || options.captureDir.empty()) return "--capture needs a folder";
        } else if (option == "--fps") {
            if (!value(text) || !ParseRate(text, options.fpsNumerator, options.fpsDenominator))
                return "--fps needs a rate such as 60 or 60000/1001";
        } else if (option == "--range") {
            if (!value(text) || !ParseSpan(text, options.rangeStart, options.rangeEnd))
                return "--range needs a span of demo time such as 30:62";
        } else if (option == "--no-vsync") {
            options.vsync = false;
        } else if (option == "--benchmark") {
            options.benchmark = true;
        } else if (option == "--csv") {
            if (!value(options.csv) || options.csv.empty()) return "--csv needs a file";
        } else if (option == "--dev") {
            options.dev = true;
        } else {
            return "unknown option " + option;
        }
    }
    const bool capture = !options.captureDir.empty();
    if (capture && options.fpsNumerator == 0) return "--capture needs --fps N or N/D";
    if (!capture && (options.fpsNumerator != 0 || options.rangeEnd >= 0)) return "--fps and --range need --capture";
    if (capture && (options.fixedStep > 0 || options.seek >= 0 || options.loopStart >= 0))
        return "--capture sets its own clock: drop --fixed-step, --seek and --loop (use --range)";
    if (!options.csv.empty() && !options.benchmark) return "--csv needs --benchmark";
    if (options.benchmark && (capture || options.seek >= 0 || options.loopStart >= 0))
        return "--benchmark plays the whole demo: drop --capture, --seek and --loop";
    if (!options.shots.empty() && options.outDir.empty()) return "--shot needs --out DIR";
    if (const std::string same = SameShotName(options.shots); !same.empty()) return same;
    if (const std::string unreachable = UnreachableTime(options); !unreachable.empty()) return unreachable;
    if (options.aspectRatio == 0.0f && options.skipDialog)
        options.aspectRatio = static_cast<float>(options.width) / static_cast<float>(options.height);
    return {};
}

bool WantsVerticalSync(const Options& options)
{
    return options.vsync && !options.benchmark && options.captureDir.empty() && options.fixedStep <= 0;
}

bool FollowsTheMusic(const Options& options)
{
    return !options.benchmark && options.captureDir.empty() && options.fixedStep <= 0 && !options.dev;
}
