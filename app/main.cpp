// Entry point: settings, start-up in a fixed order, the frame loop and shutdown.
// Every fatal error arrives here as a thrown wide message, is shown and ends the process.
#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/Benchmark.h"
#include "app/Capture.h"
#include "app/DataCheck.h"
#include "app/DevOverlay.h"
#include "app/FrameCapture.h"
#include "app/FrameTimes.h"
#include "app/GlFeatures.h"
#include "app/IEngine.h"
#include "app/ITimeline.h"
#include "app/Music.h"
#include "app/Options.h"
#include "app/Seek.h"
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
#include "resources/LoadClock.h"
#include "resources/MaterialReloader.h"
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

double SecondsSince(int64_t counter)
{
    return static_cast<double>(Platform::ReadPerformanceCounter() - counter) /
           static_cast<double>(Platform::ReadPerformanceFrequency());
}

// Sets a demo (or one viewer scene) up on the engine, makes its first step and notes the time spent.
k_Demo* StartDemo(k_Engine* engine, const Settings& settings, const Options& options, StartupSplit& startup)
{
    int64_t began = Platform::ReadPerformanceCounter();
    engine->Initialize();
    engine->GetGraphics()->SetAspectRatio(settings.aspectRatio);
    engine->GetGraphics()->SetLetterbox(options.letterbox);
    startup.archive = SecondsSince(began);
    began = Platform::ReadPerformanceCounter();
    const double textures = LoadClock::Seconds(LoadClock::Textures);
    const double shaders = LoadClock::Seconds(LoadClock::Shaders);
    k_Demo* demo = new k_Demo(engine);
    if (options.scene.empty())
        demo->Setup();
    else
        SetupViewerScene(engine, options.scene);
    engine->Advance(0.00001);
    startup.textures = LoadClock::Seconds(LoadClock::Textures) - textures;
    startup.shaders = LoadClock::Seconds(LoadClock::Shaders) - shaders;
    startup.worlds = SecondsSince(began) - startup.textures - startup.shaders;
    return demo;
}

int Run(const Settings& settings, Options options)
{
    const int64_t launched = Platform::ReadPerformanceCounter();
    std::sort(options.shots.begin(), options.shots.end());
    if (options.benchmark) {
        if (options.fixedStep <= 0) options.fixedStep = kBenchmarkStep;
        if (options.until < 0) options.until = kBenchmarkEnd;
    }
    const bool timed = options.benchmark || !options.frameTimes.empty();
    StartupSplit startup;
    k_Engine* engine = nullptr;
    k_Window* window = nullptr;
    int exitCode = 0;
    try {
        std::wstring dataPath;
        if (!options.dataPath.empty())
            dataPath = Text::FromUtf8(std::filesystem::absolute(options.dataPath).string());
        const std::wstring base = Platform::GetExecutableDirectory();
        engine = new k_Engine(base, dataPath);
        window = new k_Window(kTitle, settings.width, settings.height, engine, settings.fullscreen);
        window->Create();
        RequireGlFeatures();
        window->Present();
        startup.window = SecondsSince(launched);
        k_Demo* demo = StartDemo(engine, settings, options, startup);

        std::unique_ptr<Capture> capture;
        if (!options.captureDir.empty()) {
            capture = std::make_unique<Capture>(options.captureDir, options.fpsNumerator, options.fpsDenominator,
                                                options.rangeStart, options.rangeEnd);
            capture->Open(engine->GetFileSystem());
        }
        auto music = std::make_unique<Music>(std::make_unique<k_AudioDevice>());
        // A capture or a benchmark opens no audio device: they run where there is none.
        if (!options.mute && !capture && !options.benchmark) music->Open(engine->GetFileSystem());

        std::unique_ptr<DevOverlay> overlay;
        if (options.dev) overlay = std::make_unique<DevOverlay>(window->GetHandle());
        // Loose files can change under a running demo; an archive cannot.
        std::error_code notFolder;
        const bool liveData = !dataPath.empty() && std::filesystem::is_directory(options.dataPath, notFolder);
        std::unique_ptr<MaterialReloader> reloader;
        if (liveData) reloader = std::make_unique<MaterialReloader>(engine);
        const double seekStep = options.fixedStep > 0 ? options.fixedStep : kDefaultSeekStep;
        const double startAt = options.seek >= 0 ? options.seek : options.loopStart >= 0 ? options.loopStart : 0;
        if (capture)
            SeekDemo(engine, demo, capture->TimeOf(capture->GetFirstFrame()), capture->TimeOf(1));
        else if (startAt > 0)
            SeekDemo(engine, demo, startAt, seekStep);
        window->Present();
        if (startAt > 0) music->Seek(startAt);
        music->Play();

        IGraphics* graphics = engine->GetGraphics();
        ITimeline* timeline = engine->GetTimeline();
        int64_t previous = Platform::ReadPerformanceCounter();
        long frame = 0;
        size_t shotsTaken = 0;
        double restartAt = -1;  // a loop's start or a scrubbed-to time
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
            const bool looping = options.loopStart >= 0;
            if (engine->IsFinished() && !looping) {
                stop = true;
                continue;
            }
            const int64_t now = Platform::ReadPerformanceCounter();
            const int64_t frequency = Platform::ReadPerformanceFrequency();
            double dt = static_cast<double>(static_cast<long double>(now - previous) / frequency);
            previous = Platform::ReadPerformanceCounter();
            const double wallMs = 1000.0 * dt;
            if (options.fixedStep > 0) dt = options.fixedStep;
            if (capture) dt = capture->NextStep(timeline->GetTime());
            if (overlay) dt = overlay->Step(dt, seekStep);

            if (looping && (timeline->GetTime() + dt >= options.loopEnd || engine->IsFinished()))
                restartAt = options.loopStart;
            if (restartAt >= 0) {
                if (restartAt < timeline->GetTime()) {
                    // The worlds cannot run backwards: the demo starts afresh in the same window.
                    if (overlay) overlay->ReleaseGl();
                    reloader.reset();
                    delete demo;
                    delete engine;
                    engine = new k_Engine(base, dataPath);
                    window->AttachEngine(engine);
                    if (overlay) overlay->AcquireGl();
                    demo = StartDemo(engine, settings, options, startup);
                    if (liveData) reloader = std::make_unique<MaterialReloader>(engine);
                    graphics = engine->GetGraphics();
                    timeline = engine->GetTimeline();
                }
                SeekDemo(engine, demo, restartAt, seekStep);
                music->Seek(restartAt);
                restartAt = -1;
                previous = Platform::ReadPerformanceCounter();
                continue;
            }

            if (reloader) reloader->Poll(wallMs / 1000.0);
            demo->BeginFrame();
            engine->Advance(dt);
            const double time = timeline->GetTime();
            // Drawn before the shots: a picture taken with --dev shows what is on the screen.
            if (overlay) restartAt = overlay->Draw(engine, time, wallMs, options.loopStart, options.loopEnd,
                                                     reloader.get());
            for (; shotsTaken < options.shots.size() && time >= options.shots[shotsTaken]; ++shotsTaken)
                CaptureFrame(graphics->GetWidth(), graphics->GetHeight(),
                             CapturePath(options.outDir, options.shots[shotsTaken]));
            const bool captured = !capture || capture->FrameDrawn(graphics->GetWidth(), graphics->GetHeight(),
                                                                   engine->IsFinished());
            window->Present();
            if (frame == 0) startup.total = SecondsSince(launched);
            if (timed) frameTimes.Record(time);
            stop = ReachedEnd(options, ++frame, time, shotsTaken) || !captured;
        }
        if (capture && !capture->Finish()) exitCode = 1;
        if (!options.frameTimes.empty()) frameTimes.Write(options.frameTimes);
        if (options.benchmark && !ReportBenchmark(frameTimes, window, graphics->GetWidth(), graphics->GetHeight(),
                                                  startup, options.csv))
            exitCode = 1;

        ReportDrift(*music, timeline);
        music.reset();
        reloader.reset();
        overlay.reset();
        delete demo;
        delete window;
        delete engine;
    } catch (const wchar_t* message) {
        Fatal(window, message);
    } catch (const std::exception& error) {
        // A library's own failure (memory, file system) ends the run the same way, not in an abort.
        Fatal(window, Text::FromUtf8(error.what()));
    }
    return exitCode;
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
    // Made up front: a missing folder would otherwise lose every capture of a long run.
    for (const std::string& folder : {options.shots.empty() ? std::string() : options.outDir, options.captureDir}) {
        if (folder.empty()) continue;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::fprintf(stderr, "meridian: cannot create %s: %s\n%s", folder.c_str(), error.message().c_str(),
                         Usage().c_str());
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
