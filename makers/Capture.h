// Exact capture (--capture): the demo clock follows the frame counter, every frame of the span
// is written as a numbered PNG, the music of exactly that span as a WAV, and with ffmpeg
// installed, a video with that sound.
#pragma once

#include <memory>
#include <string>

#include "core/IFile.h"
#include "platform/Files.h"

class FrameWriter;
class IFileSystem;

class Capture {
public:
    // rate = numerator / denominator frames per second; the span [start, end) of demo time, an
    // end below 0 meaning the demo's end.
    Capture(const std::string& folder, int numerator, int denominator, double start, double end);
    ~Capture();

    // Why a capture may not go into folder: another capture is writing into it, or it holds
    // another capture's frames, which the video would take in. Empty when it may; `lock` then
    // keeps other captures out of it for as long as it lives.
    static std::string ClaimFolder(const std::string& folder, std::unique_ptr<Files::HeldLock>& lock);

    // Demo time of frame `frame`, counted from demo time 0: frame * denominator / numerator.
    double TimeOf(long frame) const;
    // Reads the tune (for the WAV and the capture's end); without a playable one the capture is
    // silent, with the reason logged.
    void Open(IFileSystem* fileSystem);
    // The step that brings the clock from `now` to the next frame's time (never negative).
    double NextStep(double now) const;
    // After the frame at TimeOf(current frame) is drawn: reads it when inside the span and queues
    // it to be written, shows the progress and moves on. False when the capture has just ended,
    // or a frame could not be written (Finish then says which).
    bool FrameDrawn(int width, int height, bool demoFinished);
    // Waits for the frames queued, then writes the WAV of the frames written and, where ffmpeg is
    // found, the video. `stopped`: the user ended the run (Escape, the close box, a signal); unless
    // the span was done by then, the frames are kept and nothing else is made. False on failure
    // and on such a stop.
    bool Finish(bool stopped);

    // The first frame of the span: the run-up to it may be sought (frames before it are not written).
    long GetFirstFrame() const { return m_frame; }

private:
    // Frames from the span's start to its end, or to the tune's end without one.
    long ExpectedFrames() const;
    void ShowProgress();

    std::string m_folder;
    int m_numerator;
    int m_denominator;
    double m_start;
    double m_end;
    long m_frame = 0;    // the frame being drawn, counted from demo time 0
    long m_first = -1;   // the first frame written
    long m_written = 0;
    std::unique_ptr<IFile> m_tune;  // the tune, when it can be played
    long m_rate = 0;
    double m_tuneSeconds = 0;
    long long m_startCounter = 0;
    long long m_lastShown = 0;
    bool m_ended = false;   // the span was done
    std::string m_failure;  // the frame that could not be written, and why
    std::unique_ptr<FrameWriter> m_writer;  // made with the first frame written
};
