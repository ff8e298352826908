// One tune playing on the audio device, decoded from a block of memory.
#pragma once

class IAudioStream {
public:
    // Stops the tune and frees the decoder; the memory block may be released afterwards.
    virtual ~IAudioStream() = default;

    // Starts the tune (it stays paused until then). False when the device cannot play.
    virtual bool Play() = 0;
    // Seconds of the tune handed to the device so far: 0 before Play, the tune's length at its end.
    // Ahead of what is heard by at most one device buffer. Safe to call while it plays.
    virtual double GetPosition() const = 0;
    // Moves the tune to seconds from its start, sample-exact, playing or paused; GetPosition then
    // counts from there. A time past the end plays silence. False when the decoder cannot seek.
    virtual bool Seek(double seconds) = 0;
    // The tune's length in seconds as the stream declares it; 0 when it declares none.
    virtual double GetLength() const = 0;

protected:
    IAudioStream() = default;
    IAudioStream(const IAudioStream&) = delete;
    IAudioStream& operator=(const IAudioStream&) = delete;
};
