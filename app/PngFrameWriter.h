#pragma once
// Writes captured frames as DIR/frame_NNNNNN.png on worker threads, so that
// compressing frame n overlaps drawing the frames after it. A fixed set of
// frame buffers circulates between the capture and the workers: the capture
// takes a free one (waiting while all are being written), fills it and hands
// it over with its frame number. Buffers, row buffers and paths are reused,
// so a long capture allocates nothing per frame.
//
// The first frame that cannot be written prints its message and marks the
// writer failed; the frames still queued are dropped.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PngFrameWriter {
public:
    explicit PngFrameWriter(const std::string& dir);
    // Waits for the frames handed over.
    ~PngFrameWriter();

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
    void work();
    void resize(int width, int height);

    std::string dir;
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
