#pragma once
#include <cstdint>
#include <fstream>

// Frames per second over fixed batches of frames, written to the profiling
// file ("fps: " per batch, then the minimum and maximum at close).
class FrameStats {
public:
    FrameStats();

    void open(int batchSize, const char* path);
    void countFrame();
    void close();

    float minimum() const { return minFps; }
    float maximum() const { return maxFps; }

private:
    int64_t frequency;
    int64_t batchStart = 0;
    int batchSize = 100;
    int frameCount = 0;
    float maxFps = 0.0f;
    float minFps = 10000.0f;
    std::ofstream output;
};
