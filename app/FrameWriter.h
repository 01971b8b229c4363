#pragma once
// Hands captured frames to worker threads, so that writing frame n (a PNG
// compressed, or raw pixels down a pipe to an encoder) overlaps drawing the
// frames after it. A fixed set of frame buffers circulates between the
// capture and the workers: the capture takes a free one (waiting while all
// are being written), fills it and hands it over with its frame number.
// Buffers are reused, so a long capture allocates nothing per frame.
//
// With one worker the frames are written in the order they were handed
// over; with more, each worker takes the oldest frame waiting.
//
// The first frame whose write fails (the write function says why) marks the
// writer failed; the frames still queued are dropped.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // Called on worker `worker` (0 .. workers - 1) for every frame: height
    // rows of width RGBA pixels, bottom row first. False when it failed.
    using Write = std::function<bool(int worker, const uint8_t* rgba, int width, int height, int index)>;

    FrameWriter(int workers, Write write);
    // Waits for the frames handed over.
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // A free buffer for one width x height RGBA frame; waits while every
    // buffer is being written. A new size waits for the frames in flight.
    uint8_t* acquire(int width, int height);
    // Queues the buffer from acquire() as frame `index`.
    void submit(uint8_t* buffer, int index);
    // Waits until every frame handed over is written; false when one failed.
    bool drain();
    bool failed() const { return writeFailed.load(std::memory_order_relaxed); }

private:
    struct Job {
        uint8_t* buffer;
        int index;
    };
    void work(int worker);
    void resize(int width, int height);

    Write write;
    int width = 0;
    int height = 0;
    std::vector<std::vector<uint8_t>> buffers;
    std::vector<uint8_t*> freeBuffers;
    // Frames handed over and not yet taken by a worker, oldest first: a ring
    // as long as the set of buffers, which is as many as can be queued.
    std::vector<Job> queue;
    size_t queueHead = 0;
    size_t queued = 0;
    int busy = 0; // frames being written
    bool stopping = false;
    std::atomic<bool> writeFailed{false};
    std::mutex mutex;
    std::condition_variable workReady;
    std::condition_variable bufferFree;
    std::vector<std::thread> workers;
};
