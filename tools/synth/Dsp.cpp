#include "tools/synth/Dsp.h"

#include <cmath>

namespace synth {

float noteFrequency(int note)
{
    return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

float Oscillator::sine()
{
    const float v = std::sin(2.0f * kPi * phase);
    advance();
    return v;
}

void Svf::set(float cutoff, float resonance)
{
    if (cutoff > kSampleRate * 0.45f)
        cutoff = kSampleRate * 0.45f;
    if (cutoff < 10.0f)
        cutoff = 10.0f;
    g = std::tan(kPi * cutoff / kSampleRate);
    k = 2.0f - 2.0f * resonance;
    a1 = 1.0f / (1.0f + g * (g + k));
}

float Delay::process(float in, float feedback)
{
    const float out = line[pos];
    line[pos] = in + feedback * out;
    if (++pos == static_cast<int>(line.size()))
        pos = 0;
    return out;
}

// Comb and all-pass lengths in samples, prime-ish and a little longer on the
// right so that the two sides decorrelate.
static const int kCombLengths[4] = {1116, 1188, 1277, 1356};
static const int kAllPassLengths[2] = {556, 441};
static const int kStereoSpread = 23;

Reverb::Reverb()
{
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 4; ++i)
            combs[ch][i].line.assign(kCombLengths[i] + ch * kStereoSpread, 0.0f);
        for (int i = 0; i < 2; ++i)
            allPasses[ch][i].line.assign(kAllPassLengths[i] + ch * kStereoSpread, 0.0f);
    }
}

float Reverb::comb(Comb& c, float in)
{
    // Feedback 0.8 with a one-pole damping of the highs: a warm, short room.
    const float out = c.line[c.pos];
    c.store = out * 0.7f + c.store * 0.3f;
    c.line[c.pos] = in + c.store * 0.8f;
    if (++c.pos == static_cast<int>(c.line.size()))
        c.pos = 0;
    return out;
}

float Reverb::allPass(AllPass& a, float in)
{
    const float buffered = a.line[a.pos];
    const float out = buffered - in;
    a.line[a.pos] = in + buffered * 0.5f;
    if (++a.pos == static_cast<int>(a.line.size()))
        a.pos = 0;
    return out;
}

void Reverb::process(float inL, float inR, float& outL, float& outR)
{
    const float in[2] = {inL, inR};
    float out[2];
    for (int ch = 0; ch < 2; ++ch) {
        float sum = 0.0f;
        for (Comb& c : combs[ch])
            sum += comb(c, in[ch] * 0.25f);
        for (AllPass& a : allPasses[ch])
            sum = allPass(a, sum);
        out[ch] = sum;
    }
    outL = out[0];
    outR = out[1];
}

} // namespace synth
