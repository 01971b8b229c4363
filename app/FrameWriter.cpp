#include "app/FrameWriter.h"

FrameWriter::FrameWriter(int n, Write w)
    : write(std::move(w))
{
    if (n < 1)
        n = 1;
    // One buffer per worker, one being filled and one waiting: the workers
    // never run dry while the capture keeps up.
    buffers.resize(static_cast<size_t>(n) + 2);
    queue.resize(buffers.size());
    for (int i = 0; i < n; ++i)
        workers.emplace_back([this, i] { work(i); });
}

FrameWriter::~FrameWriter()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    workReady.notify_all();
    for (std::thread& t : workers)
        t.join();
}

void FrameWriter::resize(int w, int h)
{
    // Called with the lock held and nothing in flight.
    width = w;
    height = h;
    freeBuffers.clear();
    for (std::vector<uint8_t>& b : buffers) {
        b.assign(static_cast<size_t>(w) * h * 4, 0);
        freeBuffers.push_back(b.data());
    }
}

uint8_t* FrameWriter::acquire(int w, int h)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (w != width || h != height) {
        bufferFree.wait(lock, [this] { return queued == 0 && busy == 0; });
        resize(w, h);
    }
    bufferFree.wait(lock, [this] { return !freeBuffers.empty(); });
    uint8_t* b = freeBuffers.back();
    freeBuffers.pop_back();
    return b;
}

void FrameWriter::submit(uint8_t* buffer, int index)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue[(queueHead + queued) % queue.size()] = Job{buffer, index};
        ++queued;
    }
    workReady.notify_one();
}

bool FrameWriter::drain()
{
    std::unique_lock<std::mutex> lock(mutex);
    bufferFree.wait(lock, [this] { return queued == 0 && busy == 0; });
    return !failed();
}

void FrameWriter::work(int worker)
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        workReady.wait(lock, [this] { return stopping || queued > 0; });
        if (queued == 0)
            return;
        Job job = queue[queueHead];
        queueHead = (queueHead + 1) % queue.size();
        --queued;
        int w = width;
        int h = height;
        bool skip = failed();
        ++busy;
        lock.unlock();

        if (!skip && !write(worker, job.buffer, w, h, job.index))
            writeFailed = true;

        lock.lock();
        --busy;
        freeBuffers.push_back(job.buffer);
        bufferFree.notify_all();
    }
}
