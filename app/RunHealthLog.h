#pragma once
// With --log, one line per start of the script in "vp_log_starts.txt": how
// the run stands as it starts again (resident memory, live GL textures,
// framebuffers, renderbuffers, occlusion queries of every context and shared
// contexts) and how the frames went since the start
// before (count, median and worst frame time, the first frame after a start
// left out: it pays for the start). Restart and reload soaks read it to see
// that nothing grows and nothing stalls.
//
// Frame times go into a fixed ring; nothing is allocated or written per frame.

#include <cstdint>
#include <cstdio>

class RunHealthLog {
public:
    ~RunHealthLog();

    // Opens the file; false (and nothing is recorded) when it cannot.
    bool open(const char* path);
    // A start of the script; `reload` when every effect was made anew.
    void recordStart(bool reload);
    // The end of one frame.
    void frameDone();

private:
    static constexpr int kRing = 4096;
    std::FILE* file = nullptr;
    int starts = 0;
    int64_t lastCounter = 0;
    int framesSinceStart = 0;
    float ring[kRing] = {};
    float sorted[kRing] = {};
};
