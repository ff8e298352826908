// Plays the demo (or one viewer scene) in a window: start-up in a fixed order, the frame loop
// with the makers' options (seek, loop, capture, overlay, live reload, shots, timing) and an
// orderly shutdown. Fatal errors leave it as thrown wide messages; the caller shows them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "makers/Benchmark.h"
#include "makers/FrameTimes.h"
#include "makers/Shots.h"
#include "app/FrameClock.h"
#include "app/FrameWatchdog.h"
#include "app/Options.h"
#include "app/Settings.h"

class Capture;
class DevOverlay;
class IWindow;
class MaterialReloader;
class Music;
class MusicSync;
class k_Demo;
class k_Engine;
class k_Window;

class Player {
public:
    Player(const Settings& settings, Options options);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Plays until the demo ends, Escape, the close box or a stop option; returns the exit code.
    int Run();
    // The window once it exists, for a message box over it; null before.
    IWindow* GetWindow() const;

private:
    // False when the user ended the run during its first seek.
    bool Start();
    // The window, and the engine with the demo (or the viewer scene) set up on it.
    void BringUp();
    // One pass of the loop: an event, a restart, or a frame. False when the run stops.
    bool Step();
    // This frame's step: the clock's, unless the capture or the overlay sets it; while the tune
    // plays, eased towards it when the two part.
    double StepOf(const FrameClock::Tick& tick);
    // After the frame is drawn: the overlay, shots, capture, present and frame times. False when
    // the run stops here.
    bool FrameDrawn(double time, double wallMs);
    // Goes to m_restartAt: forward by seeking, backward by rewinding the demo to its start, with
    // everything it loaded kept, and seeking from there. False when the user ended the run
    // during the seek.
    bool Restart();
    // Seeks to target, answering the window's events and showing the progress of a long seek.
    bool Seek(double target, double step);
    int Finish();

    Settings m_settings;
    Options m_options;
    const int64_t m_launched;
    StartupSplit m_startup;
    std::wstring m_dataPath;
    bool m_liveData = false;  // loose files that may change under the running demo
    double m_seekStep;

    // Declared in the order they are built; destroyed in reverse, the engine last.
    std::unique_ptr<Capture> m_capture;
    std::unique_ptr<k_Engine> m_engine;
    std::unique_ptr<k_Window> m_window;
    std::unique_ptr<k_Demo> m_demo;
    std::unique_ptr<DevOverlay> m_overlay;
    std::unique_ptr<MaterialReloader> m_reloader;
    std::unique_ptr<Music> m_music;
    std::unique_ptr<MusicSync> m_sync;  // null where the clock keeps its own time

    FrameClock m_clock;
    Shots m_shots;
    long m_frame = 0;
    double m_restartAt = -1;  // a loop's start or a scrubbed-to time
    bool m_stopped = false;   // by the user: Escape, the close box or a signal
    FrameTimes m_frameTimes;
    FrameWatchdog m_watchdog;
};
