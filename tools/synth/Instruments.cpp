#include "tools/synth/Instruments.h"

#include <algorithm>
#include <cmath>

namespace synth {

static int seconds(float s)
{
    return static_cast<int>(s * kSampleRate);
}


// Exponential decay with time constant tau seconds, one multiply a sample.
class Decay {
public:
    explicit Decay(float tau) : factor(std::exp(-1.0f / (tau * kSampleRate))) {}
    float next()
    {
        const float v = value;
        value *= factor;
        return v;
    }

private:
    float value = 1.0f;
    float factor;
};

// Attack-decay-sustain-release level of a note held for `length` samples:
// a linear attack, then exponential moves toward the sustain level and, after
// the held part, toward silence.
class Adsr {
public:
    Adsr(int length, float attack, float decay, float sustain, float release)
        : length(length), attackSamples(std::max(1, seconds(attack))), sustain(sustain),
          decayFactor(std::exp(-3.0f / (decay * kSampleRate))),
          releaseFactor(std::exp(-5.0f / (release * kSampleRate)))
    {
    }
    float next()
    {
        if (i < length) {
            if (i < attackSamples)
                level = static_cast<float>(i) / attackSamples;
            else {
                decayPart *= decayFactor;
                level = sustain + (1.0f - sustain) * decayPart;
            }
        } else {
            level *= releaseFactor;
        }
        ++i;
        return level;
    }

private:
    int i = 0;
    int length;
    int attackSamples;
    float sustain;
    float decayFactor;
    float releaseFactor;
    float decayPart = 1.0f;
    float level = 0.0f;
};

// Filters sweep at this control rate (samples between coefficient updates).
constexpr int kControlInterval = 32;

// ---------------------------------------------------------------------------
// Drums

// The kick is the same every time: rendered once, then scaled.
static const std::vector<float>& kickSound()
{
    // A sine swept from 160 Hz down to 48 Hz, a short 3 kHz click on top
    // for the attack, and a gentle saturation for weight on small speakers.
    static std::vector<float> sound;
    if (!sound.empty())
        return sound;
    const int length = seconds(0.45f);
    sound.resize(length);
    float phase = 0.0f;
    Decay sweep(0.035f), body(0.16f), click(0.002f);
    for (int i = 0; i < length; ++i) {
        const float freq = 48.0f + 112.0f * sweep.next();
        phase += freq / kSampleRate;
        if (phase >= 1.0f)
            phase -= 1.0f;
        float v = std::sin(2.0f * kPi * phase) * body.next();
        v += 0.25f * click.next() * std::sin(2.0f * kPi * 3000.0f * i / kSampleRate);
        sound[i] = std::tanh(v * 1.6f) * 0.9f;
    }
    return sound;
}

void kick(Track& out, int at, float velocity)
{
    const std::vector<float>& sound = kickSound();
    for (int i = 0; i < static_cast<int>(sound.size()); ++i)
        out.add(at + i, sound[i] * velocity, 0.0f);
}

void clap(Track& out, int at, float velocity, uint32_t seed)
{
    // Three quick noise bursts and a longer tail, band-passed around 1.2 kHz.
    Noise noise(seed);
    Svf filter;
    filter.set(1200.0f, 0.5f);
    const int length = seconds(0.3f);
    const int burstLength = seconds(0.011f);
    Decay tail(0.09f), burst(0.003f);
    for (int i = 0; i < length; ++i) {
        float env = tail.next();
        if (i < 3 * burstLength) {
            if (i % burstLength == 0)
                burst = Decay(0.003f);
            env += burst.next();
        }
        filter.process(noise.next());
        out.add(at + i, filter.band * env * velocity * 1.8f, 0.0f);
    }
}

void snare(Track& out, int at, float velocity, uint32_t seed)
{
    // A 190 Hz body under high-passed noise.
    Noise noise(seed);
    Svf filter;
    filter.set(2500.0f, 0.1f);
    Oscillator body;
    body.setFrequency(190.0f);
    Decay noiseEnv(0.06f), bodyEnv(0.03f);
    const int length = seconds(0.2f);
    for (int i = 0; i < length; ++i) {
        filter.process(noise.next());
        const float v = filter.high * noiseEnv.next() * 0.7f + body.sine() * bodyEnv.next() * 0.6f;
        out.add(at + i, v * velocity, 0.0f);
    }
}

void hat(Track& out, int at, float velocity, float decaySeconds, float pan, uint32_t seed)
{
    Noise noise(seed);
    Svf filter;
    filter.set(8000.0f, 0.3f);
    Decay env(decaySeconds);
    const int length = seconds(decaySeconds * 5.0f);
    for (int i = 0; i < length; ++i) {
        filter.process(noise.next());
        out.add(at + i, filter.high * env.next() * velocity * 0.5f, pan);
    }
}

void crash(Track& out, int at, float velocity, uint32_t seed)
{
    // Noise with a metallic ring from detuned squares, long decay, wide.
    Noise noise(seed);
    Noise noise2(seed * 7 + 1);
    Svf filterL, filterR;
    filterL.set(5000.0f, 0.2f);
    filterR.set(5200.0f, 0.2f);
    Oscillator ring[4];
    const float ringFreqs[4] = {587.0f, 845.0f, 1253.0f, 1597.0f};
    for (int k = 0; k < 4; ++k)
        ring[k].setFrequency(ringFreqs[k]);
    Decay decay(0.55f);
    const int length = seconds(2.5f);
    for (int i = 0; i < length; ++i) {
        const float env = decay.next() * velocity * 0.18f;
        float metal = 0.0f;
        for (Oscillator& o : ring)
            metal += o.square();
        filterL.process(noise.next() + metal * 0.08f);
        filterR.process(noise2.next() + metal * 0.08f);
        out.add(at + i, filterL.high * env, -0.8f);
        out.add(at + i, filterR.high * env, 0.8f);
    }
}

void riser(Track& out, int at, int length, float velocity, uint32_t seed)
{
    Noise noise(seed);
    Svf filter;
    for (int i = 0; i < length; ++i) {
        const float x = static_cast<float>(i) / length;
        if (i % kControlInterval == 0)
            filter.set(300.0f * std::pow(30.0f, x), 0.6f);
        filter.process(noise.next());
        out.add(at + i, filter.band * x * x * velocity, std::sin(x * 12.0f) * 0.5f);
    }
}

// ---------------------------------------------------------------------------
// Pitched voices

void bassNote(Track& out, int at, int length, int note, float velocity)
{
    // Two saws an octave apart through a resonant low-pass whose cutoff
    // snaps open and closes within the note: a round, plucked bass.
    Oscillator low, high;
    low.setFrequency(noteFrequency(note));
    high.setFrequency(noteFrequency(note + 12) * 1.003f);
    Svf filter;
    Decay sweep(0.07f);
    Adsr env(length, 0.003f, 0.2f, 0.8f, 0.03f);
    const int total = length + seconds(0.05f);
    for (int i = 0; i < total; ++i) {
        const float s = sweep.next();
        if (i % kControlInterval == 0)
            filter.set(180.0f + 1400.0f * s, 0.35f);
        filter.process(low.saw() + 0.4f * high.saw());
        out.add(at + i, filter.low * env.next() * velocity * 0.5f, 0.0f);
    }
}

void padNote(Track& out, int at, int length, int note, float velocity, float cutoff)
{
    // Three detuned saws spread across the stereo field, slow attack and
    // release, low-passed at the given cutoff.
    const float base = noteFrequency(note);
    const float detune[3] = {0.994f, 1.0f, 1.006f};
    const float pans[3] = {-0.8f, 0.0f, 0.8f};
    Oscillator osc[3];
    Svf filter[3];
    for (int k = 0; k < 3; ++k) {
        osc[k].setFrequency(base * detune[k]);
        osc[k].setPhase(0.31f * k + 0.05f * (note % 5));
        filter[k].set(cutoff, 0.2f);
    }
    Adsr env(length, 0.35f, 1.0f, 0.85f, 0.6f);
    const int total = length + seconds(0.8f);
    for (int i = 0; i < total; ++i) {
        const float level = env.next() * velocity * 0.16f;
        for (int k = 0; k < 3; ++k) {
            filter[k].process(osc[k].saw());
            out.add(at + i, filter[k].low * level, pans[k]);
        }
    }
}

void leadNote(Track& out, int at, int length, int note, float velocity, int glideFrom)
{
    // A pulse and a saw with delayed vibrato; a short glide from the
    // previous note (glideFrom, or the note itself) joins the phrase.
    Oscillator pulse, saw;
    Svf filter;
    const float target = noteFrequency(note);
    const float from = noteFrequency(glideFrom);
    Decay glide(0.015f), brightness(0.15f);
    Adsr env(length, 0.008f, 0.3f, 0.75f, 0.08f);
    const int total = length + seconds(0.15f);
    for (int i = 0; i < total; ++i) {
        const float g = glide.next();
        const float b = brightness.next();
        if (i % kControlInterval == 0) {
            const float t = static_cast<float>(i) / kSampleRate;
            float freq = target + (from - target) * g;
            const float vibratoDepth = t > 0.18f ? std::min(1.0f, (t - 0.18f) * 4.0f) * 0.006f : 0.0f;
            freq *= 1.0f + vibratoDepth * std::sin(2.0f * kPi * 5.5f * t);
            pulse.setFrequency(freq);
            saw.setFrequency(freq * 1.004f);
            filter.set(1800.0f + 2500.0f * b, 0.25f);
        }
        filter.process(0.6f * pulse.square(0.35f) + 0.5f * saw.saw());
        out.add(at + i, filter.low * env.next() * velocity * 0.3f, 0.0f);
    }
}

void pluck(Track& out, int at, int note, float velocity, float cutoff, float pan)
{
    Oscillator osc;
    osc.setFrequency(noteFrequency(note));
    Svf filter;
    Decay sweep(0.06f), env(0.09f);
    const int total = seconds(0.35f);
    for (int i = 0; i < total; ++i) {
        const float s = sweep.next();
        if (i % kControlInterval == 0)
            filter.set(cutoff * (0.3f + 0.7f * s), 0.4f);
        filter.process(osc.square(0.5f));
        out.add(at + i, filter.low * env.next() * velocity * 0.22f, pan);
    }
}

} // namespace synth
