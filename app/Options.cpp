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

// The words of the command line, read from left to right.
class Arguments {
public:
    Arguments(int argc, const char* const* argv) : m_argc(argc), m_argv(argv) {}
    bool More() const { return m_next < m_argc; }
    std::string Next() { return m_argv[m_next++]; }
    // The option's value: the next word, which must be there.
    bool Value(std::string& value)
    {
        if (!More()) return false;
        value = Next();
        return true;
    }
    // A value that may be left out: the next word unless it is an option.
    void OptionalValue(std::string& value)
    {
        if (More() && std::strncmp(m_argv[m_next], "--", 2) != 0) value = Next();
    }

private:
    int m_argc;
    const char* const* m_argv;
    int m_next = 1;
};

// One option: its name, the value it takes as shown in the help, its help text (lines after the
// first are indented to the column), and how it reads its value into the options; read returns
// the one-line reason when the value is refused.
struct OptionRow {
    const char* name;
    const char* value;
    const char* help;
    std::string (*read)(Arguments& in, Options& options, const std::string& name);
    std::string (*helpTail)() = nullptr;  // appended to the help's last line
};

std::string ReadSize(Arguments& in, Options& o, const std::string& name)
{
    std::string text;
    if (!in.Value(text) || !ParsePair(text, 'x', o.width, o.height)) return name + " needs a size such as 1280x720";
    o.skipDialog = true;
    o.fullscreen = name == "--fullscreen";
    return {};
}

// A time in seconds, zero or more.
std::string ReadTime(Arguments& in, double& time, const std::string& name)
{
    std::string text;
    double number = 0;
    if (!in.Value(text) || !ParseNumber(text, number) || number < 0) return name + " needs a time in seconds";
    time = number;
    return {};
}

// A span of demo time A:B; example is shown when it is refused.
std::string ReadSpan(Arguments& in, double& start, double& end, const std::string& name, const char* example)
{
    std::string text;
    if (!in.Value(text) || !ParseSpan(text, start, end)) return name + " needs a span of demo time such as " + example;
    return {};
}

// A value that must not be empty, such as a file or a folder.
std::string ReadName(Arguments& in, std::string& value, const std::string& name, const char* what)
{
    if (!in.Value(value) || value.empty()) return name + " needs " + what;
    return {};
}

// An option without a value that sets one switch.
template <bool Options::*field, bool value = true>
std::string SetFlag(Arguments&, Options& options, const std::string&)
{
    options.*field = value;
    return {};
}

const OptionRow kOptions[] = {
    {"--window", "WxH", "play in a window of this client size (no settings dialog)", ReadSize},
    {"--fullscreen", "WxH", "play full screen in this mode (no settings dialog)", ReadSize},
    {"--aspect", "N:D", "aspect ratio (default: the ratio of the size)",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         std::string text;
         int n = 0, d = 0;
         if (!in.Value(text) || !ParsePair(text, ':', n, d)) return "--aspect needs a ratio such as 16:9";
         o.aspectRatio = static_cast<float>(n) / static_cast<float>(d);
         return {};
     }},
    {"--frames", "N", "stop after N frames",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         std::string text;
         double number = 0;
         if (!in.Value(text) || !ParseNumber(text, number) || number < 0 || number > 1e12 ||
             number != static_cast<double>(static_cast<long>(number)))
             return "--frames needs a whole number of frames";
         o.frames = static_cast<long>(number);
         return {};
     }},
    {"--fixed-step", "S", "advance the demo by S seconds per frame",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         std::string text;
         double number = 0;
         if (!in.Value(text) || !ParseNumber(text, number) || number <= 0)
             return "--fixed-step needs a positive number of seconds";
         o.fixedStep = number;
         return {};
     }},
    {"--until", "T", "stop once demo time reaches T seconds",
     [](Arguments& in, Options& o, const std::string& name) { return ReadTime(in, o.until, name); }},
    {"--shot", "T[,T...]", "write the frame at each demo time T as a PNG (needs --out)",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         const std::string refused = "--shot needs one or more times, such as 12.5,30";
         std::string text;
         if (!in.Value(text)) return refused;
         for (size_t start = 0;;) {
             const size_t comma = text.find(',', start);
             double number = 0;
             if (!ParseNumber(text.substr(start, comma - start), number) || number < 0) return refused;
             o.shots.push_back(number);
             if (comma == std::string::npos) return {};
             start = comma + 1;
         }
     }},
    {"--out", "DIR", "folder for --shot pictures (made if missing)",
     [](Arguments& in, Options& o, const std::string& name) { return ReadName(in, o.outDir, name, "a folder"); }},
    {"--mute", "", "open no audio device", SetFlag<&Options::mute>},
    {"--data", "PATH",
     "use this archive or folder instead of data.pak; with a folder, materials\n"
     "and shaders edited while the demo runs are reloaded (a version that\n"
     "fails keeps the last good one; its errors go to the log and, with\n"
     "--dev, to the overlay)",
     [](Arguments& in, Options& o, const std::string& name) { return ReadName(in, o.dataPath, name, "a path"); }},
    {"--check-data", "[PATH]", "load and check every material, shader and image, then exit",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         o.checkData = true;
         in.OptionalValue(o.dataPath);
         return {};
     }},
    {"--frame-times", "FILE", "write each frame's demo time and cost in ms as CSV (for benchmarks)",
     [](Arguments& in, Options& o, const std::string& name) { return ReadName(in, o.frameTimes, name, "a file"); }},
    {"--scene", "NAME", "show one scene alone against the demo clock:",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         const std::vector<std::string> names = ViewerSceneNames();
         if (!in.Value(o.scene) || std::find(names.begin(), names.end(), o.scene) == names.end())
             return "--scene needs one of" + SceneList();
         return {};
     },
     SceneList},
    {"--letterbox", "", "keep the aspect ratio with black bars when the window's shape differs",
     SetFlag<&Options::letterbox>},
    {"--seek", "T", "start at demo time T, in the state of a demo played up to T",
     [](Arguments& in, Options& o, const std::string& name) { return ReadTime(in, o.seek, name); }},
    {"--loop", "A:B", "repeat demo time A..B, music included, until Escape",
     [](Arguments& in, Options& o, const std::string& name) {
         return ReadSpan(in, o.loopStart, o.loopEnd, name, "40:52");
     }},
    {"--capture", "DIR", "write every frame as a PNG, the music as a WAV and (with ffmpeg) a video",
     [](Arguments& in, Options& o, const std::string& name) { return ReadName(in, o.captureDir, name, "a folder"); }},
    {"--fps", "N[/D]", "the capture's frame rate, such as 60 or 60000/1001 (needs --capture)",
     [](Arguments& in, Options& o, const std::string&) -> std::string {
         std::string text;
         if (!in.Value(text) || !ParseRate(text, o.fpsNumerator, o.fpsDenominator))
             return "--fps needs a rate such as 60 or 60000/1001";
         return {};
     }},
    {"--range", "A:B", "capture only demo time A..B (needs --capture)",
     [](Arguments& in, Options& o, const std::string& name) {
         return ReadSpan(in, o.rangeStart, o.rangeEnd, name, "30:62");
     }},
    {"--benchmark", "", "play the whole demo at a fixed step without audio and print frame costs",
     SetFlag<&Options::benchmark>},
    {"--csv", "FILE", "write the benchmark's table as CSV and its plot as FILE.svg",
     [](Arguments& in, Options& o, const std::string& name) { return ReadName(in, o.csv, name, "a file"); }},
    {"--dev", "",
     "developer overlay: scrub bar, pause, speed, A-B loop, frame times, worlds,\n"
     "failed reloads of a --data folder",
     SetFlag<&Options::dev>},
    {"--no-vsync", "",
     "draw frames as fast as the machine can, not in step with the display\n"
     "(--benchmark, --capture and --fixed-step never wait for it)",
     SetFlag<&Options::vsync, false>},
    // Without help of their own: listed together on the help's last line.
    {"--help", "", nullptr, SetFlag<&Options::help>},
    {"--version", "", nullptr, SetFlag<&Options::version>},
};

// How options go together, checked once all are read.
std::string CrossCheck(Options& options)
{
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

}  // namespace

std::string Usage()
{
    // The help's column: two spaces, the option and its value in 19, two spaces.
    const std::string indent(23, ' ');
    std::string usage = "usage: meridian [options]\n";
    std::string plain;
    for (const OptionRow& row : kOptions) {
        std::string shown = std::string(row.name) + (*row.value ? " " : "") + row.value;
        if (!row.help) {
            plain += (plain.empty() ? "" : ", ") + shown;
            continue;
        }
        shown.resize(std::max<size_t>(shown.size(), 19), ' ');
        usage += "  " + shown + "  ";
        for (const char* line = row.help; *line;) {
            const char* end = std::strchr(line, '\n');
            usage.append(line, end ? end : line + std::strlen(line));
            if (!end) break;
            usage += "\n" + indent;
            line = end + 1;
        }
        usage += (row.helpTail ? row.helpTail() : std::string()) + "\n";
    }
    return usage + "  " + plain + "\n";
}

std::string ParseOptions(int argc, const char* const* argv, Options& options)
{
    Arguments in(argc, argv);
    while (in.More()) {
        const std::string option = in.Next();
        const OptionRow* row = std::find_if(std::begin(kOptions), std::end(kOptions),
                                            [&](const OptionRow& r) { return option == r.name; });
        if (row == std::end(kOptions)) return "unknown option " + option;
        if (const std::string refused = row->read(in, options, option); !refused.empty()) return refused;
    }
    return CrossCheck(options);
}

bool WantsVerticalSync(const Options& options)
{
    return options.vsync && !options.benchmark && options.captureDir.empty() && options.fixedStep <= 0;
}

bool FollowsTheMusic(const Options& options)
{
    return !options.benchmark && options.captureDir.empty() && options.fixedStep <= 0 && !options.dev;
}
