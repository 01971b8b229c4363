#include "app/RunHealthLog.h"

#include "gl/LiveGLObjects.h"
#include "platform/Clock.h"
#include "platform/GLWindow.h"
#include "platform/ProcessMemory.h"

#include <algorithm>

namespace {

// Occlusion queries belong to the context that made them (a flare drawn into
// an off-screen buffer makes them in that buffer's context): summed over
// every context, -1 when the driver cannot name them.
void addQueries(void* user)
{
    int& sum = *static_cast<int*>(user);
    const int count = liveGLQueries();
    sum = sum < 0 || count < 0 ? -1 : sum + count;
}

} // namespace

RunHealthLog::~RunHealthLog()
{
    if (file)
        std::fclose(file);
}

bool RunHealthLog::open(const char* path)
{
    file = std::fopen(path, "w");
    return file != nullptr;
}

void RunHealthLog::recordStart(bool reload)
{
    if (!file)
        return;
    // Frames of the start before, without its first one.
    const int n = std::min(std::max(framesSinceStart - 1, 0), kRing);
    float median = 0.0f, worst = 0.0f;
    if (n > 0) {
        std::copy(ring, ring + n, sorted);
        std::nth_element(sorted, sorted + n / 2, sorted + n);
        median = sorted[n / 2];
        worst = *std::max_element(sorted, sorted + n);
    }
    int queries = 0;
    platform::forEachContext(addQueries, &queries);
    std::fprintf(file,
                 "start %d reload %d rss_kb %ld textures %d framebuffers %d renderbuffers %d queries %d contexts %d "
                 "frames %d median_ms %.2f worst_ms %.2f\n",
                 starts, reload ? 1 : 0, platform::residentMemoryKb(), liveGLTextures(), liveGLFramebuffers(),
                 liveGLRenderbuffers(), queries, platform::liveSharedContexts(), n, median, worst);
    std::fflush(file);
    ++starts;
    framesSinceStart = 0;
    lastCounter = activeClock().counter();
}

void RunHealthLog::frameDone()
{
    if (!file)
        return;
    const int64_t now = activeClock().counter();
    const float ms = static_cast<float>(now - lastCounter) * 1000.0f / static_cast<float>(activeClock().frequency());
    lastCounter = now;
    // The first frame after a start is not kept; the rest fill the ring.
    if (framesSinceStart > 0)
        ring[(framesSinceStart - 1) % kRing] = ms;
    ++framesSinceStart;
}
