#include "app/ClockTrace.h"

#include "engine/Effect.h"
#include "engine/EffectManager.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr size_t kReservedRecords = 1u << 20; // hours of frames at 60 Hz
}

ClockTrace::ClockTrace()
{
    const char* file = std::getenv("VP_CLOCK_TRACE");
    if (!file || !*file)
        return;
    path = file;
    records.reserve(kReservedRecords);
}

ClockTrace::~ClockTrace()
{
    write();
}

void ClockTrace::note(Kind kind, int demoMs)
{
    if (path.empty() || records.size() == records.capacity())
        return;
    const auto wall = std::chrono::system_clock::now().time_since_epoch();
    records.push_back({std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count(), kind, demoMs});
}

static_assert(EffectManager::kMaxEffects == 128, "the cast has a bit for every effect id");

void ClockTrace::frameDrawn(int demoMs)
{
    if (path.empty())
        return;
    const EffectManager* manager = EffectManager::instance();
    std::bitset<128> now;
    for (int id = 0; id < EffectManager::kMaxEffects; ++id) {
        const Effect* effect = manager->findEffect(id);
        if (!effect || !effect->isRunning())
            continue;
        for (int layer = 0; layer < EffectManager::kLayerCount && !now.test(id); ++layer)
            for (const Effect* drawn : manager->layer(layer))
                if (drawn == effect)
                    now.set(id);
    }
    if (now != cast) {
        cast = now;
        note(kCast, demoMs);
    }
    note(kFrame, demoMs);
}

void ClockTrace::write()
{
    if (path.empty())
        return;
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "vplayer: cannot write '%s'\n", path.c_str());
        return;
    }
    for (const Record& r : records)
        std::fprintf(f, "%s %lld %d\n", r.kind == kMusic ? "music" : r.kind == kCast ? "cast" : "frame",
                     static_cast<long long>(r.wallNs), r.demoMs);
    std::fclose(f);
    path.clear();
}
