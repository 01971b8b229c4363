#include "engine/FrameStats.h"

#include "platform/Clock.h"

FrameStats::FrameStats()
    : frequency(activeClock().frequency())
{
}

void FrameStats::open(int size, const char* path)
{
    batchSize = size;
    frameCount = 0;
    frequency = activeClock().frequency();
    output.open(path, std::ios::out | std::ios::trunc);
    maxFps = 0.0f;
    minFps = 10000.0f;
}

void FrameStats::countFrame()
{
    if (frameCount == 0)
        batchStart = activeClock().counter();
    ++frameCount;
    if (frameCount < batchSize)
        return;
    int ms = static_cast<int>((activeClock().counter() - batchStart) * 1000 / frequency);
    // A batch measured as 0 ms gives an infinite rate, which becomes the maximum.
    float fps = static_cast<float>(frameCount) / (static_cast<float>(ms) * 0.001f);
    frameCount = 0;
    output << "fps: " << fps << "\n";
    output.flush();
    if (fps < minFps)
        minFps = fps;
    if (fps > maxFps)
        maxFps = fps;
}

void FrameStats::close()
{
    output << "*****************************" << "\n";
    output.flush();
    output << "minFPS: " << minFps << "\n";
    output.flush();
    output << "maxFPS:\t" << maxFps << "\n";
    output.flush();
    output.close();
}
