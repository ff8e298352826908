#include "app/Player.h"

#include <GL/glew.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "makers/Capture.h"
#include "makers/DevOverlay.h"
#include "makers/FrameCapture.h"
#include "core/ITimeline.h"
#include "engine/Music.h"
#include "engine/MusicSync.h"
#include "makers/Seek.h"
#include "demo/k_Demo.h"
#include "engine/k_Engine.h"
#include "engine/k_Window.h"
#include "core/IGraphics.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/MessageBox.h"
#include "platform/k_AudioDevice.h"
#include "resources/DrawingNow.h"
#include "resources/LoadClock.h"
#include "makers/MaterialReloader.h"
#include "viewer/ViewerScenes.h"

namespace {

const wchar_t* const kTitle = L"Korvanta - meridian";
// A frame that runs longer has a shader stuck in a loop (the software driver has no timeout; it
// stops a shader's loops only after 65535 rounds, hours for a costly one); a real frame of this
// demo takes well under a second.
constexpr double kFrameLimitSeconds = 10.0;
// What a frame of offline work is allowed: no limit. Such a run writes frames for a file, at any
// size, so a healthy frame may take minutes (the first at 3840x2160 compiles every shader's
// variant); its progress line shows a stall, and it ends on Escape or a signal.
constexpr double kOfflineFrameLimit = 0;

// On the watchdog's thread while the frame loop is stuck in the driver: says what was drawn and
// ends the process without the stuck thread. Over a full-screen window the box would sit hidden
// behind the frozen picture (only the stuck thread could leave full screen): standard error only.
[[noreturn]] void FrameStuck(double demoTime, bool fullscreen)
{
    char head[160];
    std::snprintf(head, sizeof head, "The frame at demo time %.3f s has not finished after %.0f s. ", demoTime,
                  kFrameLimitSeconds);
    const std::string text = head +
                             std::string("A shader that never leaves its loop? The driver runs shaders late, so it "
                                         "can be in any material drawn since the last frame shown: ") +
                             DrawingNow::Describe() + ".";
    Log::Error() << text;
    if (fullscreen)
        std::fprintf(stderr, "Korvanta demo system: %s\n", Text::Shown(text).c_str());
    else
        Platform::ShowMessageBox(nullptr, L"Korvanta demo system", Text::FromUtf8(text));
    std::fflush(stdout);
    std::_Exit(1);
}

double SecondsSince(int64_t counter)
{
    return static_cast<double>(Platform::ReadPerformanceCounter() - counter) /
           static_cast<double>(Platform::ReadPerformanceFrequency());
}

// A benchmark plays the whole demo at a fixed step unless the run names its own.
Options WithBenchmarkDefaults(Options options)
{
    if (options.benchmark) {
        if (options.fixedStep <= 0) options.fixedStep = kBenchmarkStep;
        if (options.until < 0) options.until = kBenchmarkEnd;
    }
    return options;
}

// Capture, benchmark and shots at a fixed step: work whose frames are made for a file, not watched.
bool IsOffline(const Options& options)
{
    return !options.captureDir.empty() || options.benchmark || (options.fixedStep > 0 && !options.shots.empty());
}

// The loop's stop conditions beyond Escape and the close box, from the command line.
bool ReachedEnd(const Options& options, long frame, double time, const Shots& shots)
{
    if (options.frames >= 0 && frame >= options.frames) return true;
    if (options.until >= 0 && time >= options.until) return true;
    const bool onlyShots = options.frames < 0 && options.until < 0 && !shots.IsEmpty();
    return onlyShots && shots.AllTaken();
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

}  // namespace

Player::Player(const Settings& settings, Options options)
    : m_settings(settings),
      m_options(WithBenchmarkDefaults(std::move(options))),
      m_launched(Platform::ReadPerformanceCounter()),
      m_seekStep(m_options.fixedStep > 0 ? m_options.fixedStep : kDefaultSeekStep),
      m_clock(Platform::ReadPerformanceCounter, Platform::ReadPerformanceFrequency(), m_options.fixedStep),
      m_shots(m_options.shots, m_options.outDir),
      m_watchdog(IsOffline(m_options) ? kOfflineFrameLimit : kFrameLimitSeconds,
                 [fullscreen = settings.fullscreen](double time) { FrameStuck(time, fullscreen); }, Process::CpuSeconds)
{
}

Player::~Player() = default;

IWindow* Player::GetWindow() const { return m_window.get(); }

int Player::Run()
{
    if (Start())
        while (Step()) {
        }
    return Finish();
}

bool Player::Start()
{
    if (!m_options.dataPath.empty())
        m_dataPath = Text::FromUtf8(Files::ToUtf8(std::filesystem::absolute(Files::FromUtf8(m_options.dataPath))));
    // Loose files can change under a running demo; an archive cannot.
    std::error_code notFolder;
    m_liveData = !m_dataPath.empty() && std::filesystem::is_directory(Files::FromUtf8(m_options.dataPath), notFolder);
    BringUp();

    if (!m_options.captureDir.empty()) {
        m_capture = std::make_unique<Capture>(m_options.captureDir, m_options.fpsNumerator, m_options.fpsDenominator,
                                              m_options.rangeStart, m_options.rangeEnd);
        m_capture->Open(m_engine->GetFileSystem());
    }
    m_music = std::make_unique<Music>(std::make_unique<k_AudioDevice>());
    // A capture or a benchmark opens no audio device: they run where there is none.
    if (!m_options.mute && !m_capture && !m_options.benchmark) m_music->Open(m_engine->GetFileSystem());
    if (FollowsTheMusic(m_options)) m_sync = std::make_unique<MusicSync>(m_music->GetLatency());
    // The first picture and the frames drawn at the end of a seek are shown by the Present below.
    const FrameWatchdog::Frame firstFrames(m_watchdog, kPrimingStep);
    m_engine->Advance(kPrimingStep);
    if (m_liveData) m_reloader = std::make_unique<MaterialReloader>(m_engine.get());
    if (m_options.dev) m_overlay = std::make_unique<DevOverlay>(m_window->GetHandle());

    const double startAt = m_options.seek >= 0 ? m_options.seek : std::max(m_options.loopStart, 0.0);
    if (m_capture) {
        if (!Seek(m_capture->TimeOf(m_capture->GetFirstFrame()), m_capture->TimeOf(1))) return false;
    } else if (startAt > 0 && !Seek(startAt, m_seekStep)) {
        return false;
    }
    m_window->Present();
    DrawingNow::Forget();
    if (startAt > 0) m_music->Seek(startAt);
    m_music->Play();
    m_clock.Restart();
    return true;
}

void Player::BringUp()
{
    m_engine = std::make_unique<k_Engine>(Platform::GetExecutableDirectory(), m_dataPath);
    m_window = std::make_unique<k_Window>(kTitle, m_settings.width, m_settings.height, m_engine.get(),
                                          m_settings.fullscreen);
    m_window->Create();
    if (m_settings.fullscreen && !m_window->IsFullscreen())
        Log::Warning() << "The display has no mode " << m_settings.width << "x" << m_settings.height
                       << ": playing in a window of that size instead of full screen.";
    // The context starts without it; a driver that cannot wait only logs so.
    if (WantsVerticalSync(m_options)) Platform::SetVerticalSync(true);
    m_window->Present();
    m_startup.window = SecondsSince(m_launched);

    int64_t began = Platform::ReadPerformanceCounter();
    m_engine->Initialize();
    m_engine->GetGraphics()->SetAspectRatio(m_settings.aspectRatio);
    m_engine->GetGraphics()->SetLetterbox(m_options.letterbox);
    m_startup.archive = SecondsSince(began);
    began = Platform::ReadPerformanceCounter();
    const double textures = LoadClock::Seconds(LoadClock::Textures);
    const double shaders = LoadClock::Seconds(LoadClock::Shaders);
    m_demo = std::make_unique<k_Demo>(m_engine.get());
    if (m_options.scene.empty())
        m_demo->Setup();
    else
        SetupViewerScene(m_engine.get(), m_options.scene);
    m_startup.textures = LoadClock::Seconds(LoadClock::Textures) - textures;
    m_startup.shaders = LoadClock::Seconds(LoadClock::Shaders) - shaders;
    m_startup.worlds = SecondsSince(began) - m_startup.textures - m_startup.shaders;
}

bool Player::Step()
{
    Platform::Event event;
    if (Platform::PollEvent(event)) {
        if (event.type == Platform::Event::Type::Quit) {
            m_stopped = true;
            return false;
        }
        m_window->HandleMessage(event);
        return true;
    }
    if (!m_window->IsActive()) return true;
    const bool looping = m_options.loopStart >= 0;
    if (m_engine->IsFinished() && !looping) return false;

    const FrameClock::Tick tick = m_clock.Next();
    const double dt = StepOf(tick);
    ITimeline* timeline = m_engine->GetTimeline();
    if (looping && (timeline->GetTime() + dt >= m_options.loopEnd || m_engine->IsFinished()))
        m_restartAt = m_options.loopStart;
    if (m_restartAt >= 0) return Restart();

    if (m_reloader) m_reloader->Poll(tick.wallSeconds);
    m_watchdog.FrameStarted(timeline->GetTime() + dt);
    m_demo->BeginFrame();
    m_engine->Advance(dt);
    const bool goOn = FrameDrawn(timeline->GetTime(), 1000.0 * tick.wallSeconds);
    m_watchdog.FrameEnded();
    return goOn;
}

double Player::StepOf(const FrameClock::Tick& tick)
{
    double dt = tick.step;
    if (m_capture) dt = m_capture->NextStep(m_engine->GetTimeline()->GetTime());
    if (m_overlay) dt = m_overlay->Step(dt, m_seekStep);
    if (m_sync && m_music->IsPlaying())
        dt = m_sync->Step(m_engine->GetTimeline()->GetTime(), dt, m_music->GetHeardPosition());
    return dt;
}

bool Player::FrameDrawn(double time, double wallMs)
{
    // Drawn before the shots: a picture taken with --dev shows what is on the screen.
    if (m_overlay)
        m_restartAt = m_overlay->Draw(m_engine.get(), time, wallMs, m_options.loopStart, m_options.loopEnd,
                                      m_reloader.get());
    IGraphics* graphics = m_engine->GetGraphics();
    if (!m_shots.AllTaken()) {
        // Writing a picture is the program's own work, however long it takes at a large size:
        // the frame is watched until the driver has finished drawing it.
        glFinish();
        m_watchdog.FrameEnded();
    }
    m_shots.FrameDrawn(time, graphics->GetWidth(), graphics->GetHeight());
    const bool captured =
        !m_capture || m_capture->FrameDrawn(graphics->GetWidth(), graphics->GetHeight(), m_engine->IsFinished());
    m_window->Present();
    DrawingNow::Forget();
    if (m_frame == 0) m_startup.total = SecondsSince(m_launched);
    if (m_options.benchmark || !m_options.frameTimes.empty()) m_frameTimes.Record(time);
    return !ReachedEnd(m_options, ++m_frame, time, m_shots) && captured;
}

bool Player::Restart()
{
    // Shown by the next frame's Present, which is watched again.
    const FrameWatchdog::Frame firstFrames(m_watchdog, m_restartAt);
    const int64_t began = Platform::ReadPerformanceCounter();
    const double from = m_engine->GetTimeline()->GetTime();
    if (m_restartAt < from) {
        // The worlds cannot run backwards: the demo goes back to its start and plays its first
        // step again, as a fresh run does.
        m_engine->Rewind();
        m_engine->Advance(kPrimingStep);
    }
    if (!Seek(m_restartAt, m_seekStep)) return false;
    char line[96];
    std::snprintf(line, sizeof line, "Jumped from %.3f s to %.3f s in %.2f s", from, m_restartAt, SecondsSince(began));
    Log::Info() << line;
    m_music->Seek(m_restartAt);
    m_restartAt = -1;
    m_clock.Restart();
    return true;
}

bool Player::Seek(double target, double step)
{
    bool shown = false;
    const int64_t began = Platform::ReadPerformanceCounter();
    const double from = m_engine->GetTimeline()->GetTime();
    const bool reached = SeekDemo(m_engine.get(), m_demo.get(), target, step, [&](double time) {
        m_watchdog.FrameStarted(time);  // the seek moves on: only a drawn step stuck in the driver is a stall
        Platform::Event event;
        while (Platform::PollEvent(event)) {
            if (event.type == Platform::Event::Type::Quit) {
                m_stopped = true;
                return false;
            }
            m_window->HandleMessage(event);
        }
        const double done = (time - from) / (target - from);
        const double left = done > 0 ? SecondsSince(began) * (1 - done) / done : 0;
        std::fprintf(stderr, "\rseeking to %.3f s: at %.3f s (%.1f%%), about %.0f s left; Escape stops ", target,
                     time, 100 * done, left);
        std::fflush(stderr);
        shown = true;
        return true;
    });
    if (shown) std::fprintf(stderr, "\n");
    return reached;
}

int Player::Finish()
{
    int exitCode = 0;
    if (m_capture && !m_capture->Finish(m_stopped)) exitCode = 1;
    if (!m_shots.Finish(m_engine->GetTimeline()->GetTime())) exitCode = 1;
    if (!m_options.frameTimes.empty() && !m_frameTimes.Write(m_options.frameTimes)) exitCode = 1;
    IGraphics* graphics = m_engine->GetGraphics();
    if (m_options.benchmark && !ReportBenchmark(m_frameTimes, m_window.get(), graphics->GetWidth(),
                                                graphics->GetHeight(), m_startup, m_options.csv))
        exitCode = 1;
    ReportDrift(*m_music, m_engine->GetTimeline());
    return exitCode;
}
