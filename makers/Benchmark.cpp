// Benchmark tables: percentiles by nearest rank over the frames of each span.
#include "makers/Benchmark.h"

#include <GL/glew.h>
#include <algorithm>
#include <cstdio>

#include "core/IWindow.h"
#include "makers/OutputFile.h"
#include "platform/Log.h"

namespace {

constexpr int kFloorWarmUp = 10;
constexpr int kFloorFrames = 120;

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0, double e = 0)
{
    char line[256];
    std::snprintf(line, sizeof line, format, a, b, c, d, e);
    return line;
}

}  // namespace

FrameStats Summarize(const std::vector<FrameTimes::Frame>& frames, double start, double end)
{
    std::vector<double> ms;
    for (const FrameTimes::Frame& frame : frames)
        if (frame.demoTime >= start && frame.demoTime < end) ms.push_back(frame.milliseconds);
    FrameStats stats;
    if (ms.empty()) return stats;
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    stats.frames = static_cast<int>(n);
    stats.median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    stats.p95 = ms[std::min(n - 1, (n * 95 + 99) / 100 - 1)];
    stats.worst = ms.back();
    return stats;
}

double MeasureFloor(IWindow* window, int width, int height)
{
    // A texture of the window's size, filled once, drawn over the whole window every frame.
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<unsigned char>(i * 7);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glViewport(0, 0, width, height);
    glUseProgram(0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);

    FrameTimes times;
    for (int frame = 0; frame < kFloorWarmUp + kFloorFrames; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2f(-1, -1);
        glTexCoord2f(1, 0), glVertex2f(1, -1);
        glTexCoord2f(1, 1), glVertex2f(1, 1);
        glTexCoord2f(0, 1), glVertex2f(-1, 1);
        glEnd();
        window->Present();
        times.Record(frame);
    }
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
    return Summarize(times.GetFrames(), kFloorWarmUp, kFloorWarmUp + kFloorFrames).median;
}

std::string BenchmarkTable(const std::vector<FrameTimes::Frame>& frames, double floorMs, const StartupSplit& startup,
                           int width, int height)
{
    std::string text = Format("Benchmark at %.0fx%.0f, frame times in ms (floor: one textured full-screen pass)\n",
                              width, height);
    text += "span                     frames   median      p95    worst    floor\n";
    for (const SceneSpan& span : kSceneSpans) {
        const FrameStats stats = Summarize(frames, span.start, span.end);
        char line[160];
        std::snprintf(line, sizeof line, "%-13s %5.1f-%-5.1f %6d %8.2f %8.2f %8.2f %8.2f\n", span.name, span.start,
                      span.end, stats.frames, stats.median, stats.p95, stats.worst, floorMs);
        text += line;
    }
    text += Format("start-up %.2f s to the first frame: archive %.2f s, textures %.2f s, shaders %.2f s, ",
                   startup.total, startup.archive, startup.textures, startup.shaders);
    text += Format("worlds %.2f s, window %.2f s\n", startup.worlds, startup.window);
    return text;
}

std::string BenchmarkCsv(const std::vector<FrameTimes::Frame>& frames, double floorMs, const StartupSplit& startup)
{
    std::string text = "span,start_s,end_s,frames,median_ms,p95_ms,worst_ms,floor_ms\n";
    for (const SceneSpan& span : kSceneSpans) {
        const FrameStats stats = Summarize(frames, span.start, span.end);
        text += std::string(span.name) + Format(",%.1f,%.1f,", span.start, span.end) + std::to_string(stats.frames) +
                Format(",%.3f,%.3f,%.3f,%.3f\n", stats.median, stats.p95, stats.worst, floorMs);
    }
    text += "startup,archive_s,textures_s,shaders_s,worlds_s,window_s,total_s\n";
    text += Format("startup,%.3f,%.3f,%.3f,%.3f,", startup.archive, startup.textures, startup.shaders,
                   startup.worlds) +
            Format("%.3f,%.3f\n", startup.window, startup.total);
    return text;
}

std::string BenchmarkSvg(const std::vector<FrameTimes::Frame>& frames, double floorMs)
{
    const double width = 960, height = 360, left = 50, bottom = 330, top = 20;
    double highest = floorMs;
    for (const FrameTimes::Frame& frame : frames) highest = std::max(highest, frame.milliseconds);
    highest = highest > 0 ? highest * 1.1 : 1;
    const auto x = [&](double t) { return left + (width - left - 10) * t / kBenchmarkEnd; };
    const auto y = [&](double ms) { return bottom - (bottom - top) * ms / highest; };
    std::string svg = Format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                             "font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%%\" height=\"100%%\" "
                             "fill=\"white\"/>\n",
                             width, height);
    for (size_t i = 0; i < std::size(kSceneSpans); ++i) {
        const SceneSpan& span = kSceneSpans[i];
        svg += Format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" ", x(span.start), top,
                      x(span.end) - x(span.start), bottom - top);
        svg += std::string("fill=\"") + (i % 2 ? "#eef2f8" : "#f8f8f8") + "\"/>\n";
        svg += Format("<text x=\"%.1f\" y=\"%.1f\">", x(span.start) + 3, top + 12) + span.name + "</text>\n";
    }
    svg += "<polyline fill=\"none\" stroke=\"#c04020\" stroke-width=\"1\" points=\"";
    for (const FrameTimes::Frame& frame : frames)
        svg += Format("%.1f,%.1f ", x(frame.demoTime), y(frame.milliseconds));
    svg += "\"/>\n";
    svg += Format("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#2060c0\" stroke-dasharray=\"4 3\"/>\n",
                  left, x(kBenchmarkEnd), y(floorMs), y(floorMs));
    svg += Format("<text x=\"%.1f\" y=\"%.1f\" fill=\"#2060c0\">floor %.2f ms</text>\n", x(kBenchmarkEnd) - 90,
                  y(floorMs) - 4, floorMs);
    svg += Format("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"black\"/>\n", left, left, top, bottom);
    svg += Format("<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"black\"/>\n", left, x(kBenchmarkEnd),
                  bottom, bottom);
    svg += Format("<text x=\"4\" y=\"%.1f\">%.1f ms</text>\n", top + 4, highest);
    svg += Format("<text x=\"4\" y=\"%.1f\">0</text>\n", bottom);
    svg += Format("<text x=\"%.1f\" y=\"%.1f\">demo time (s)</text>\n</svg>\n", x(kBenchmarkEnd) - 80, bottom + 20);
    return svg;
}

std::string SvgPathBeside(const std::string& csvPath)
{
    const size_t slash = csvPath.find_last_of('/');
    const size_t dot = csvPath.find_last_of('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const bool hasExtension = dot != std::string::npos && dot > nameStart;  // ".hidden" is a name, not an extension
    return (hasExtension ? csvPath.substr(0, dot) : csvPath) + ".svg";
}

bool ReportBenchmark(const FrameTimes& times, IWindow* window, int width, int height, const StartupSplit& startup,
                     const std::string& csvPath)
{
    const double floorMs = MeasureFloor(window, width, height);
    std::printf("%s", BenchmarkTable(times.GetFrames(), floorMs, startup, width, height).c_str());
    std::fflush(stdout);
    if (csvPath.empty()) return true;
    bool written = true;
    const std::pair<std::string, std::string> files[] = {
        {csvPath, BenchmarkCsv(times.GetFrames(), floorMs, startup)},
        {SvgPathBeside(csvPath), BenchmarkSvg(times.GetFrames(), floorMs)},
    };
    for (const auto& [path, text] : files) {
        OutputFile output(path);
        output.Write(text.data(), text.size());
        if (!output.Close()) {
            Log::Error() << output.GetProblem().c_str();
            written = false;
        }
    }
    return written;
}
