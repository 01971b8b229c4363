#include "engine/EffectTimes.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kReservedRecords = 1u << 21; // hours of frames with a dozen passes each

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

EffectTimes::EffectTimes()
{
    const char* file = std::getenv("VP_EFFECT_TIMES");
    if (!file || !*file)
        return;
    path = file;
    records.reserve(kReservedRecords);
}

EffectTimes::~EffectTimes()
{
    write();
}

void EffectTimes::begin()
{
    if (path.empty())
        return;
    glFinish();
    startNs = nowNs();
}

void EffectTimes::end(int demoMs, int effectId, Pass pass)
{
    if (path.empty() || records.size() == records.capacity())
        return;
    glFinish();
    const float ms = static_cast<float>(nowNs() - startNs) / 1e6f;
    records.push_back({demoMs, static_cast<int16_t>(effectId), pass, ms});
}

void EffectTimes::write()
{
    if (path.empty())
        return;
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "vplayer: cannot write '%s'\n", path.c_str());
        path.clear();
        return;
    }
    for (const Record& r : records)
        std::fprintf(f, "%d %d %s %.3f\n", r.demoMs, r.effectId, r.pass == kPreRender ? "pre" : "draw",
                     static_cast<double>(r.ms));
    std::fclose(f);
    path.clear();
}
