// Frames are numbered from the span's first one, so that ffmpeg's image reader starts at 0.
#include "makers/Capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <vector>

#include "makers/FrameCapture.h"
#include "makers/FrameWriter.h"
#include "makers/WavExport.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/Process.h"
#include "core/IFile.h"
#include "core/IFileSystem.h"

namespace {
const wchar_t* const kTuneName = L"kv-meridian.ogg";
// Held in the capture's folder while it runs: a second capture into it would mix the two.
const char* const kLockName = "capture.lock";
// Frames that may wait to be written: a frame is drawn while the one before is encoded, and the
// memory stays that of three frames (75 MB at 3840x2160).
constexpr int kFramesWaiting = 3;
}  // namespace

Capture::Capture(const std::string& folder, int numerator, int denominator, double start, double end)
    : m_folder(folder), m_numerator(numerator), m_denominator(denominator), m_start(start), m_end(end)
{
    // From the frame nearest the start, not by counting up to it: a span far out would take ages.
    const double nearest = std::floor(m_start * m_numerator / m_denominator);
    m_frame = nearest > 1 ? static_cast<long>(std::min(nearest, 9e18)) - 1 : 0;
    while (TimeOf(m_frame) < m_start) ++m_frame;
}

std::string Capture::ClaimFolder(const std::string& folder, std::unique_ptr<Files::HeldLock>& lock)
{
    bool heldElsewhere = false;
    std::string reason;
    lock = Files::LockFile(folder + "/" + kLockName, heldElsewhere, reason);
    if (heldElsewhere)
        return "another capture is writing into " + folder + ": wait for it to end, or choose another folder";
    if (!lock) return "cannot lock " + folder + "/" + kLockName + ": " + reason;
    static const std::regex kFrameName("frame_[0-9]{6}\\.png");
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Files::FromUtf8(folder), error))
        if (std::regex_match(Files::ToUtf8(entry.path().filename()), kFrameName))
            return folder + " already holds the frames of a capture (" + Files::ToUtf8(entry.path().filename()) +
                   "): choose another folder or remove them, or the video would take them in";
    return {};
}

Capture::~Capture() = default;

double Capture::TimeOf(long frame) const
{
    return static_cast<double>(static_cast<long double>(frame) * m_denominator / m_numerator);
}

void Capture::Open(IFileSystem* fileSystem)
{
    m_tune = fileSystem->OpenFile(kTuneName);
    if (!m_tune) {
        Log::Error() << "Cannot read from file: " << kTuneName << " (capturing without music)";
    } else {
        TuneFormat format;
        const std::string problem = ReadTuneFormat(m_tune->GetData(), m_tune->GetSize(), format);
        if (!problem.empty()) {
            Log::Error() << "The tune cannot be played: " << problem << " (capturing without music)";
            m_tune.reset();
        } else {
            m_rate = format.rate;
            m_tuneSeconds = format.seconds;
        }
    }
}

double Capture::NextStep(double now) const
{
    const double step = TimeOf(m_frame) - now;
    return step > 0 ? step : 0;
}

long Capture::ExpectedFrames() const
{
    const double end = m_end >= 0 ? m_end : m_tuneSeconds;
    const double frames = std::ceil((end - m_start) * m_numerator / m_denominator);
    if (!(frames > 0)) return 0;
    return frames < 1e18 ? static_cast<long>(frames) : static_cast<long>(1e18);
}

bool Capture::FrameDrawn(int width, int height, bool demoFinished)
{
    const double time = TimeOf(m_frame);
    if (m_end >= 0 ? time >= m_end : (demoFinished || (m_tuneSeconds > 0 && time >= m_tuneSeconds))) {
        m_ended = true;
        return false;
    }
    if (time >= m_start) {
        if (m_first < 0) {
            m_first = m_frame;
            m_startCounter = Platform::ReadPerformanceCounter();  // the rate shown leaves the run-up out
            m_writer = std::make_unique<FrameWriter>(m_folder, kFramesWaiting, PngEffort::Fast);
        }
        m_failure = m_writer->Failure();
        if (!m_failure.empty()) return false;
        ReadFrame(width, height, m_writer->Next());
        m_writer->Queue(m_written, width, height);
        ++m_written;
        ShowProgress();
    }
    ++m_frame;
    return true;
}

void Capture::ShowProgress()
{
    const long long now = Platform::ReadPerformanceCounter();
    const long long frequency = Platform::ReadPerformanceFrequency();
    const long expected = ExpectedFrames();
    if (now - m_lastShown < frequency / 4 && m_written != expected) return;
    m_lastShown = now;
    const double seconds = static_cast<double>(now - m_startCounter) / static_cast<double>(frequency);
    const double rate = seconds > 0 ? m_written / seconds : 0;
    char bar[33] = {};
    const double done = expected > 0 ? static_cast<double>(m_written) / expected : 0;
    for (int i = 0; i < 30; ++i) bar[i] = i < done * 30 ? '#' : '.';
    const double left = rate > 0 && expected > m_written ? (expected - m_written) / rate : 0;
    // In doubles: a span of billions of frames leaves more minutes than an int holds.
    std::fprintf(stderr, "\rcapture [%s] %ld/%ld frames  %.1f frames/s  %.0f:%02d left ", bar, m_written, expected,
                 rate, std::floor(left / 60), static_cast<int>(std::fmod(left, 60)));
    std::fflush(stderr);
}

bool Capture::Finish(bool stopped)
{
    std::fprintf(stderr, "\n");
    if (m_writer && m_failure.empty()) m_failure = m_writer->Drain();
    if (!m_failure.empty()) {
        Log::Error() << "The capture stopped at frame " << m_writer->FailedFrame() << ": " << m_failure.c_str()
                     << " (no sound or video made)";
        return false;
    }
    if (stopped && !m_ended) {
        Log::Error() << "The capture was stopped after " << m_written << " of its " << ExpectedFrames()
                     << " frames: the frames are kept in " << m_folder.c_str() << ", no sound or video made.";
        return false;
    }
    if (m_written == 0) {
        Log::Error() << "Nothing was captured: the span holds no frame.";
        return false;
    }
    const std::string wav = m_folder + "/audio.wav";
    if (m_tune) {
        // The sound of exactly the frames written: from the first frame's time to the time after the last.
        const long long first = std::llround(TimeOf(m_first) * m_rate);
        const long long end = std::llround(TimeOf(m_first + m_written) * m_rate);
        const std::string problem = ExportWav(m_tune->GetData(), m_tune->GetSize(), first, end - first, wav);
        if (!problem.empty()) {
            Log::Error() << "Cannot write the capture's sound: " << problem.c_str();
            return false;
        }
    }
    Log::Info() << "Captured " << static_cast<int>(m_written) << " frames into " << m_folder.c_str();
    if (!Process::OnPath("ffmpeg")) {
        Log::Info() << "ffmpeg not found: no video made (the frames and audio.wav are ready for an encoder).";
        return true;
    }
    char rate[32];
    std::snprintf(rate, sizeof rate, "%d/%d", m_numerator, m_denominator);
    std::vector<std::string> command = {"ffmpeg", "-y", "-loglevel", "error", "-framerate", rate,
                                        "-i", m_folder + "/frame_%06d.png"};
    if (m_tune) command.insert(command.end(), {"-i", m_folder + "/audio.wav", "-c:a", "aac", "-b:a", "320k"});
    command.insert(command.end(), {"-c:v", "libx264", "-preset", "slow", "-crf", "16", "-pix_fmt", "yuv420p",
                                   "-movflags", "+faststart", m_folder + "/meridian.mp4"});
    if (Process::Run(command) != 0) {
        Log::Error() << "ffmpeg could not make the video; the frames and audio.wav are kept.";
        return false;
    }
    Log::Info() << "Video: " << (m_folder + "/meridian.mp4").c_str();
    return true;
}
