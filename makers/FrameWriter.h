// Writes a capture's frames as numbered PNG files on a thread of its own, so that the next frame
// is drawn while the last one is encoded. Its few buffers bound the memory: while every one of
// them waits to be written, the frame loop waits for the oldest.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "makers/FrameCapture.h"

class FrameWriter {
public:
    // Frame n goes to FOLDER/frame_NNNNNN.png; `slots` frames (at least 1) may wait at once.
    FrameWriter(std::string folder, int slots, PngEffort effort);
    // Writes what is queued, then ends the thread.
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // The buffer for the next frame's pixels, once one is free; fill it, then Queue.
    std::vector<unsigned char>& Next();
    // Queues the buffer Next gave as frame `number`, width x height RGB rows, bottom row first.
    void Queue(long number, int width, int height);
    // Why the first frame that could not be written was not; empty while none. Frames queued
    // after a failure are dropped.
    std::string Failure();
    // The number of that frame; -1 while none.
    long FailedFrame();
    // Waits until every queued frame is written; Failure() then.
    std::string Drain();

private:
    struct Slot {
        std::vector<unsigned char> pixels;
        long number = 0;
        int width = 0;
        int height = 0;
    };
    void Work();

    const std::string m_folder;
    const PngEffort m_effort;
    std::vector<Slot> m_slots;  // a ring: m_queued slots from m_oldest wait to be written
    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_oldest = 0;    // under m_mutex
    size_t m_queued = 0;    // under m_mutex; includes the one being written
    bool m_stop = false;    // under m_mutex
    std::string m_failure;  // under m_mutex
    long m_failedFrame = -1;  // under m_mutex
    std::thread m_thread;
};
