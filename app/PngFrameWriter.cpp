#include "app/PngFrameWriter.h"

#include "gl/PngWriter.h"

#include <cstdio>

namespace {

int workerCount()
{
    unsigned n = std::thread::hardware_concurrency();
    if (n < 2)
        return 2;
    return n > 8 ? 8 : static_cast<int>(n);
}

} // namespace

PngFrameWriter::PngFrameWriter(const std::string& d)
    : dir(d)
{
    int n = workerCount();
    // One buffer per worker, one being filled and one waiting: the workers
    // never run dry while the capture keeps up.
    buffers.resize(static_cast<size_t>(n) + 2);
    queue.resize(buffers.size());
    for (int i = 0; i < n; ++i)
        workers.emplace_back([this] { work(); });
}

PngFrameWriter::~PngFrameWriter()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    workReady.notify_all();
    for (std::thread& t : workers)
        t.join();
}

void PngFrameWriter::resize(int w, int h)
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

uint8_t* PngFrameWriter::acquire(int w, int h)
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

void PngFrameWriter::submit(uint8_t* buffer, int index)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue[(queueHead + queued) % queue.size()] = Job{buffer, index};
        ++queued;
    }
    workReady.notify_one();
}

bool PngFrameWriter::drain()
{
    std::unique_lock<std::mutex> lock(mutex);
    bufferFree.wait(lock, [this] { return queued == 0 && busy == 0; });
    return !failed();
}

void PngFrameWriter::work()
{
    std::string path;
    path.reserve(dir.size() + 32);
    std::vector<uint8_t> row;
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

        if (!skip) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame_%06d.png", job.index);
            path.assign(dir);
            path.append(name);
            row.resize(static_cast<size_t>(w) * 3);
            if (!writePNG(path.c_str(), w, h, job.buffer, row.data()) && !writeFailed.exchange(true))
                std::fprintf(stderr, "vplayer: cannot write '%s'\n", path.c_str());
        }

        lock.lock();
        --busy;
        freeBuffers.push_back(job.buffer);
        bufferFree.notify_all();
    }
}
