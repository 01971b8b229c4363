#pragma once
// Building blocks of the synthesiser: oscillators, filters, noise, delay and
// reverb. Everything works on float samples at kSampleRate and is fully
// deterministic: noise comes from a seeded generator, never from the clock.
#include <cstdint>
#include <vector>

namespace synth {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz).
float noteFrequency(int note);

// White noise in [-1, 1] from a 32-bit xorshift generator.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
    float next();

private:
    uint32_t state;
};

// Band-limited sawtooth and square (PolyBLEP), phase in [0, 1).
class Oscillator {
public:
    void setFrequency(float hz) { step = hz / kSampleRate; }
    void setPhase(float p) { phase = p; }
    float saw();
    float square(float pulseWidth = 0.5f);
    float sine();

private:
    void advance();
    float phase = 0.0f;
    float step = 0.0f;
};

// Zero-delay-feedback state-variable filter; one call gives all three outputs.
class Svf {
public:
    // cutoff in Hz, resonance 0 (none) to about 0.95.
    void set(float cutoff, float resonance);
    void process(float in);
    float low = 0.0f, band = 0.0f, high = 0.0f;

private:
    float g = 0.0f, k = 2.0f, a1 = 1.0f;
    float ic1 = 0.0f, ic2 = 0.0f;
};

// A delay line with feedback, whole samples.
class Delay {
public:
    explicit Delay(int samples) : line(samples > 0 ? samples : 1, 0.0f) {}
    // Returns the delayed sample and stores in + feedback x delayed.
    float process(float in, float feedback);

private:
    std::vector<float> line;
    int pos = 0;
};

// A small room reverb (parallel combs into series all-passes, per channel).
class Reverb {
public:
    Reverb();
    // Wet signal for one stereo input sample.
    void process(float inL, float inR, float& outL, float& outR);

private:
    struct Comb {
        std::vector<float> line;
        int pos = 0;
        float store = 0.0f;
    };
    struct AllPass {
        std::vector<float> line;
        int pos = 0;
    };
    static float comb(Comb& c, float in);
    static float allPass(AllPass& a, float in);
    Comb combs[2][4];
    AllPass allPasses[2][2];
};


// Per-sample work, inline for speed.

inline float Noise::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state) * (2.0f / 4294967295.0f) - 1.0f;
}

// Smooths the jump of a sawtooth or square at the wrap, over one sample each side.
inline float polyBlep(float t, float dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

inline void Oscillator::advance()
{
    phase += step;
    if (phase >= 1.0f)
        phase -= 1.0f;
}

inline float Oscillator::saw()
{
    const float v = 2.0f * phase - 1.0f - polyBlep(phase, step);
    advance();
    return v;
}

inline float Oscillator::square(float pulseWidth)
{
    float v = phase < pulseWidth ? 1.0f : -1.0f;
    v += polyBlep(phase, step);
    float shifted = phase - pulseWidth;
    if (shifted < 0.0f)
        shifted += 1.0f;
    v -= polyBlep(shifted, step);
    advance();
    return v;
}

inline void Svf::process(float in)
{
    const float v3 = in - ic2;
    const float v1 = a1 * ic1 + g * a1 * v3;
    const float v2 = ic2 + g * v1;
    ic1 = 2.0f * v1 - ic1;
    ic2 = 2.0f * v2 - ic2;
    low = v2;
    band = v1;
    high = in - k * v1 - v2;
}

} // namespace synth
