#pragma once
// How long each effect's passes take, for finding what makes a section slow:
// with VP_EFFECT_TIMES=FILE set, the layer pass waits for the GL to finish
// before and after every preRender and render and notes the wall time in
// between, with the demo time and the effect's id. Kept in memory (room for
// hours of frames is reserved up front) and written as text when the effect
// manager goes:
//   <demo ms> <effect id> pre|draw <ms>
//
// Waiting for the GL after every pass keeps the renderer from overlapping
// one pass with the next, so the frames of a timed run are slower than
// untimed ones; compare effects with each other, not with the frame times.

#include <cstdint>
#include <string>
#include <vector>

class EffectTimes {
public:
    enum Pass : int8_t { kPreRender, kRender };

    // Reads VP_EFFECT_TIMES; without it every call does nothing.
    EffectTimes();
    ~EffectTimes();
    EffectTimes(const EffectTimes&) = delete;
    EffectTimes& operator=(const EffectTimes&) = delete;

    bool enabled() const { return !path.empty(); }
    // Around one pass of one effect.
    void begin();
    void end(int demoMs, int effectId, Pass pass);
    // Writes what was noted and stops noting; the destructor does it too.
    void write();

private:
    struct Record {
        int32_t demoMs;
        int16_t effectId;
        int8_t pass;
        float ms;
    };

    std::string path;
    std::vector<Record> records;
    int64_t startNs = 0;
};
