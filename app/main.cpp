// Entry point: settings, start-up in a fixed order, the frame loop and shutdown.
// Every fatal error arrives here as a thrown wide message, is shown and ends the process.
#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/DataCheck.h"
#include "app/FrameCapture.h"
#include "app/FrameTimes.h"
#include "app/IEngine.h"
#include "app/ITimeline.h"
#include "app/Music.h"
#include "app/Options.h"
#include "app/SettingsDialog.h"
#include "app/k_Demo.h"
#include "app/k_Engine.h"
#include "app/k_Window.h"
#include "graphics/IGraphics.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/k_AudioDevice.h"
#include "worlds/ViewerScenes.h"

namespace {

const wchar_t* const kTitle = L"Korvanta - meridian";

// The loop's stop conditions beyond Escape and the close box, from the command line.
bool ReachedEnd(const Options& options, long frame, double time, size_t shotsTaken)
{
    if (options.frames >= 0 && frame >= options.frames) return true;
    if (options.until >= 0 && time >= options.until) return true;
    const bool onlyShots = options.frames < 0 && options.until < 0 && !options.shots.empty();
    return onlyShots && shotsTaken == options.shots.size();
}

// How far the picture ran from the music over the run, measured at the end.
void ReportDrift(const Music& music, ITimeline* timeline)
{
    const double position = music.GetPosition();
    if (position <= 0) return;
    char line[128];
    std::snprintf(line, sizeof line, "Music at %.3f s, demo clock at %.3f s: drift %+.3f s", position,
                  timeline->GetTime(), timeline->GetTime() - position);
    Log::Info() << line;
}

// Shows the message and ends the process at once, cleaning nothing up; the exit code tells
// scripts that the run failed.
[[noreturn]] void Fatal(IWindow* window, const std::wstring& message)
{
    Platform::ShowMessageBox(window ? window->GetHandle() : nullptr, L"Korvanta demo system", message);
    std::fflush(stdout);
    std::_Exit(1);
}

int Run(const Settings& settings, Options options)
{
    std::sort(options.shots.begin(), options.shots.end());
    k_Engine* engine = nullptr;
    k_Window* window = nullptr;
    try {
        std::wstring dataPath;
        if (!options.dataPath.empty())
            dataPath = Text::FromUtf8(std::filesystem::absolute(options.dataPath).string());
        engine = new k_Engine(Platform::GetExecutableDirectory(), dataPath);
        window = new k_Window(kTitle, settings.width, settings.height, engine, settings.fullscreen);
        k_Demo* demo = new k_Demo(engine);

        window->Create();
        window->Present();
        engine->Initialize();
        engine->GetGraphics()->SetAspectRatio(settings.aspectRatio);
        if (options.scene.empty())
            demo->Setup();
        else
            SetupViewerScene(engine, options.scene);

        auto music = std::make_unique<Music>(std::make_unique<k_AudioDevice>());
        if (!options.mute) music->Open(engine->GetFileSystem());
        engine->Advance(0.00001);
        window->Present();
        music->Play();

        IGraphics* graphics = engine->GetGraphics();
        ITimeline* timeline = engine->GetTimeline();
        int64_t previous = Platform::ReadPerformanceCounter();
        long frame = 0;
        size_t shotsTaken = 0;
        FrameTimes frameTimes;
        for (bool stop = false; !stop;) {
            Platform::Event event;
            if (Platform::PollEvent(event)) {
                if (event.type == Platform::Event::Type::Quit)
                    stop = true;
                else
                    window->HandleMessage(event);
                continue;
            }
            if (!window->IsActive()) continue;
            if (engine->IsFinished()) {
                stop = true;
                continue;
            }
            const int64_t now = Platform::ReadPerformanceCounter();
            const int64_t frequency = Platform::ReadPerformanceFrequency();
            double dt = static_cast<double>(static_cast<long double>(now - previous) / frequency);
            previous = Platform::ReadPerformanceCounter();
            if (options.fixedStep > 0) dt = options.fixedStep;

            demo->BeginFrame();
            engine->Advance(dt);
            const double time = timeline->GetTime();
            for (; shotsTaken < options.shots.size() && time >= options.shots[shotsTaken]; ++shotsTaken)
                CaptureFrame(graphics->GetWidth(), graphics->GetHeight(),
                             CapturePath(options.outDir, options.shots[shotsTaken]));
            window->Present();
            if (!options.frameTimes.empty()) frameTimes.Record(time);
            stop = ReachedEnd(options, ++frame, time, shotsTaken);
        }
        if (!options.frameTimes.empty()) frameTimes.Write(options.frameTimes);

        ReportDrift(*music, timeline);
        music.reset();
        delete demo;
        delete window;
        delete engine;
    } catch (const wchar_t* message) {
        Fatal(window, message);
    } catch (const std::exception& error) {
        // A library's own failure (memory, file system) ends the run the same way, not in an abort.
        Fatal(window, Text::FromUtf8(error.what()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Keep the driver's large per-frame buffers off mmap/munmap.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);

    Options options;
    const std::string problem = ParseOptions(argc, argv, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "meridian: %s\n%s", problem.c_str(), Usage().c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", Usage().c_str());
        return 0;
    }
    if (options.version) {
        std::printf("meridian %s\n", KORVANTA_VERSION);
        return 0;
    }
    if (options.checkData) return RunDataCheck(options.dataPath);
    if (!options.shots.empty()) {
        // Made up front: a missing folder would otherwise lose every capture of a long run.
        std::error_code error;
        std::filesystem::create_directories(options.outDir, error);
        if (error) {
            std::fprintf(stderr, "meridian: cannot create %s: %s\n%s", options.outDir.c_str(),
                         error.message().c_str(), Usage().c_str());
            return 2;
        }
    }

    Settings settings;
    if (options.skipDialog) {
        settings.accepted = true;
        settings.width = options.width;
        settings.height = options.height;
        settings.fullscreen = options.fullscreen;
        settings.aspectRatio = options.aspectRatio;
    } else {
        settings = RunSettingsDialog();
        if (options.aspectRatio > 0) settings.aspectRatio = options.aspectRatio;
    }
    if (!settings.accepted) return 0;
    return Run(settings, options);
}
