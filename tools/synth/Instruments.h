#pragma once
// The instruments of the soundtrack. Each call renders one hit or one note,
// whole, into a stereo track, starting at a sample position; notes are MIDI
// numbers, velocities 0 to 1, pans -1 (left) to 1 (right).
#include "tools/synth/Dsp.h"

#include <vector>

namespace synth {

struct Track {
    explicit Track(int samples) : left(samples, 0.0f), right(samples, 0.0f) {}
    int size() const { return static_cast<int>(left.size()); }
    void add(int i, float value, float pan)
    {
        if (i < 0 || i >= size())
            return;
        // Constant-power-ish pan law, centre at 0.7 on each side.
        left[i] += value * (0.7f - 0.3f * pan);
        right[i] += value * (0.7f + 0.3f * pan);
    }
    std::vector<float> left, right;
};

// Drums.
void kick(Track& out, int at, float velocity);
void clap(Track& out, int at, float velocity, uint32_t seed);
void snare(Track& out, int at, float velocity, uint32_t seed);
void hat(Track& out, int at, float velocity, float decaySeconds, float pan, uint32_t seed);
void crash(Track& out, int at, float velocity, uint32_t seed);
// Filtered noise whose cutoff and level rise over the length.
void riser(Track& out, int at, int length, float velocity, uint32_t seed);

// Pitched voices. length is the held part in samples; each voice adds its
// own release after it.
void bassNote(Track& out, int at, int length, int note, float velocity);
void padNote(Track& out, int at, int length, int note, float velocity, float cutoff);
void leadNote(Track& out, int at, int length, int note, float velocity, int glideFrom);
void pluck(Track& out, int at, int note, float velocity, float cutoff, float pan);

} // namespace synth
