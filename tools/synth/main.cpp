// vp_synth: renders the soundtrack of the sample production and writes it as
// Ogg Vorbis.  Usage: vp_synth OUTPUT.ogg
//
// The music is in A minor at 125 BPM: a beat is 480 ms (21168 samples at
// 44.1 kHz), a bar 4 beats (1.92 s), a step a sixteenth (120 ms). The first
// beat falls on sample 0, and every drum hit sits exactly on the grid, so the
// production's script can place events at bar * 1920 + beat * 480 ms.
//
// Arrangement (bars from 0; start time in seconds = bar * 1.92):
//
//   bars  time    section   instruments
//   0-7    0.00   intro     kick on every beat, pad (filter opening);
//                           closed hats join at bar 4; riser in bar 7
//   8-15  15.36   groove    + bass (off-beat eighths), clap on beats 2 and 4,
//                           open hats on the off-beats; crash at bar 8;
//                           riser in bar 15
//   16-23 30.72   theme     + lead melody (8-bar phrase), sixteenth arpeggio;
//                           crash at bar 16
//   24-27 46.08   break     drums, bass and lead out; pad and arpeggio only,
//                           chords F G Em E, arpeggio filter slowly opening
//   28-31 53.76   build     same chords; snare roll speeding up (quarters,
//                           eighths, sixteenths), closed hats back, riser over
//                           bars 30-31
//   32-47 61.44   climax    everything: kick, clap, hats, bass, pad, arpeggio
//                           wide open, lead doubled an octave down, phrase
//                           played twice; crashes at bars 32 and 40
//   48-51 92.16   outro     lead out; drums, bass, pad, arpeggio; crash at 48
//   52-55 99.84   fade      bass, hats and arpeggio out; kick on the first
//                           beat of each bar, pad alone
//   56   107.52   end       last hit: kick, crash and a held A minor chord,
//                           ringing out to 111.0 s
//
// Chords, one a bar: A minor, F, C, G everywhere except the break and the
// build (F, G, E minor, E). The climax's first beat (bar 32, 61.44 s) is the
// loudest moment.
#include "tools/synth/Dsp.h"
#include "tools/synth/Instruments.h"
#include "tools/synth/OggWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace synth;

namespace {

constexpr int kStep = kSampleRate * 120 / 1000; // a sixteenth: 5292 samples
constexpr int kBeat = 4 * kStep;                // 21168 samples, 480 ms
constexpr int kBar = 4 * kBeat;                 // 84672 samples, 1.92 s
constexpr int kBars = 56;
constexpr int kTailSamples = kSampleRate * 7 / 2; // the last hit rings 3.5 s
constexpr int kTotalSamples = (kBars)*kBar + kTailSamples;

int stepAt(int bar, int step)
{
    return bar * kBar + step * kStep;
}

// ---------------------------------------------------------------------------
// Harmony

struct Chord {
    int bass;     // root for the bass line
    int tones[3]; // pad voicing around middle C
};

const Chord kAm = {45, {57, 60, 64}};
const Chord kF = {41, {53, 57, 60}};
const Chord kC = {48, {55, 60, 64}};
const Chord kG = {43, {55, 59, 62}};
const Chord kEm = {40, {52, 55, 59}};
const Chord kE = {40, {52, 56, 59}};

bool inBreak(int bar)
{
    return bar >= 24 && bar < 32;
}

const Chord& chordOf(int bar)
{
    static const Chord* const main[4] = {&kAm, &kF, &kC, &kG};
    static const Chord* const lifted[4] = {&kF, &kG, &kEm, &kE};
    return inBreak(bar) ? *lifted[bar % 4] : *main[bar % 4];
}

// ---------------------------------------------------------------------------
// The lead's phrase: 8 bars, notes as (bar, step, MIDI note, length in steps).

struct PhraseNote {
    int bar, step, note, length;
};

const PhraseNote kPhrase[] = {
    {0, 0, 76, 3}, {0, 3, 69, 3}, {0, 6, 72, 2}, {0, 8, 74, 2}, {0, 10, 76, 3}, {0, 13, 74, 1}, {0, 14, 72, 2},
    {1, 0, 72, 3}, {1, 3, 69, 3}, {1, 6, 65, 2}, {1, 8, 69, 2}, {1, 10, 72, 4}, {1, 14, 74, 2},
    {2, 0, 76, 3}, {2, 3, 79, 3}, {2, 6, 76, 2}, {2, 8, 74, 2}, {2, 10, 72, 3}, {2, 13, 74, 3},
    {3, 0, 71, 4}, {3, 4, 74, 4}, {3, 8, 67, 6}, {3, 14, 69, 2},
    {4, 0, 76, 3}, {4, 3, 81, 3}, {4, 6, 79, 2}, {4, 8, 76, 2}, {4, 10, 74, 3}, {4, 13, 72, 3},
    {5, 0, 72, 3}, {5, 3, 74, 3}, {5, 6, 76, 2}, {5, 8, 77, 2}, {5, 10, 76, 3}, {5, 13, 74, 3},
    {6, 0, 76, 3}, {6, 3, 79, 3}, {6, 6, 84, 4}, {6, 10, 83, 3}, {6, 13, 79, 3},
    {7, 0, 83, 3}, {7, 3, 81, 3}, {7, 6, 79, 2}, {7, 8, 74, 8},
};

void playPhrase(Track& lead, int firstBar, bool doubled)
{
    int previous = kPhrase[0].note;
    for (const PhraseNote& n : kPhrase) {
        const int at = stepAt(firstBar + n.bar, n.step);
        // Held for most of its steps, so repeated notes still articulate.
        const int length = n.length * kStep - kStep / 4;
        leadNote(lead, at, length, n.note, 0.9f, previous);
        if (doubled)
            leadNote(lead, at, length, n.note - 12, 0.5f, previous - 12);
        previous = n.note;
    }
}

// ---------------------------------------------------------------------------
// The score

struct Tracks {
    Tracks()
        : kicks(kTotalSamples), drums(kTotalSamples), claps(kTotalSamples), bass(kTotalSamples),
          pad(kTotalSamples), lead(kTotalSamples), arp(kTotalSamples)
    {
    }
    Track kicks; // kick alone: it drives the side-chain
    Track drums; // hats, cymbals, risers
    Track claps; // claps and snares, sent to the reverb
    Track bass;
    Track pad;
    Track lead;
    Track arp;
    std::vector<int> kickTimes;
};

void addKick(Tracks& t, int at, float velocity)
{
    kick(t.kicks, at, velocity);
    t.kickTimes.push_back(at);
}

bool drumsPlay(int bar)
{
    return bar < 24 || (bar >= 32 && bar < 52);
}

bool bassPlays(int bar)
{
    return (bar >= 8 && bar < 24) || (bar >= 32 && bar < 52);
}

bool arpPlays(int bar)
{
    return bar >= 16 && bar < 52;
}

// Cutoff of the pad's filter in Hz: opening through the intro, darker in the
// break, brightest in the climax.
float padCutoff(int bar)
{
    if (bar < 8)
        return 700.0f + 1800.0f * bar / 8.0f;
    if (inBreak(bar))
        return 1500.0f;
    if (bar >= 32 && bar < 48)
        return 3200.0f;
    return 2500.0f;
}

// Cutoff of the arpeggio: sweeping open through the break and the build.
float arpCutoff(int bar, int step)
{
    if (inBreak(bar)) {
        const float x = ((bar - 24) * 16 + step) / 128.0f;
        return 500.0f * std::pow(12.0f, x);
    }
    if (bar >= 32 && bar < 48)
        return 6000.0f;
    return 2800.0f;
}

void writeScore(Tracks& t)
{
    uint32_t seed = 1;
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = chordOf(bar);

        // Kick: every beat while the drums play, the bar's first beat in the fade.
        if (drumsPlay(bar)) {
            for (int beat = 0; beat < 4; ++beat)
                addKick(t, stepAt(bar, beat * 4), bar < 8 ? 0.85f : 1.0f);
        } else if (bar >= 52) {
            addKick(t, stepAt(bar, 0), 0.9f - 0.1f * (bar - 52));
        }

        // Clap on beats 2 and 4 from the groove on.
        if (drumsPlay(bar) && bar >= 8) {
            clap(t.claps, stepAt(bar, 4), 0.8f, ++seed);
            clap(t.claps, stepAt(bar, 12), 0.8f, ++seed);
        }

        // Hats: closed sixteenths with the off-beats accented, open hats on the off-beats.
        const bool closedHats = (bar >= 4 && drumsPlay(bar)) || (bar >= 28 && bar < 32);
        if (closedHats) {
            for (int step = 0; step < 16; ++step) {
                float velocity = step % 4 == 2 ? 0.55f : (step % 2 ? 0.3f : 0.2f);
                if (bar >= 28 && bar < 32)
                    velocity *= 0.4f + 0.6f * ((bar - 28) * 16 + step) / 64.0f;
                hat(t.drums, stepAt(bar, step), velocity, 0.025f, step % 2 ? 0.3f : -0.3f, ++seed);
            }
        }
        if (drumsPlay(bar) && bar >= 8) {
            for (int beat = 0; beat < 4; ++beat)
                hat(t.drums, stepAt(bar, beat * 4 + 2), 0.35f, 0.12f, 0.1f, ++seed);
        }

        // Crashes open the sections.
        if (bar == 8 || bar == 16 || bar == 32 || bar == 40 || bar == 48)
            crash(t.drums, stepAt(bar, 0), bar == 32 ? 1.0f : 0.75f, ++seed);

        // Risers lead into the groove, the theme and the climax.
        if (bar == 7 || bar == 15)
            riser(t.drums, stepAt(bar, 0), kBar, 0.25f, ++seed);
        if (bar == 30)
            riser(t.drums, stepAt(bar, 0), 2 * kBar, 0.35f, ++seed);

        // The build's snare roll: quarters, eighths, sixteenths, and the last
        // beat in thirty-seconds, growing louder.
        if (bar >= 28 && bar < 32) {
            const int stride = bar == 28 ? 4 : bar == 29 ? 2 : 1;
            for (int step = 0; step < 16; step += stride) {
                const float x = ((bar - 28) * 16 + step) / 64.0f;
                const float velocity = 0.12f + 0.3f * x;
                snare(t.claps, stepAt(bar, step), velocity, ++seed);
                if (bar == 31 && step >= 12)
                    snare(t.claps, stepAt(bar, step) + kStep / 2, velocity, ++seed);
            }
        }

        // Bass: off-beat eighths on the root, the third one up an octave.
        if (bassPlays(bar)) {
            for (int beat = 0; beat < 4; ++beat) {
                const int note = chord.bass + (beat == 2 ? 12 : 0);
                bassNote(t.bass, stepAt(bar, beat * 4 + 2), 2 * kStep - kStep / 3, note, 0.9f);
            }
        }

        // Pad: the bar's chord, held to the bar's end.
        if (bar < 56) {
            for (int tone : chord.tones)
                padNote(t.pad, stepAt(bar, 0), kBar - kStep / 2, tone, 0.9f, padCutoff(bar));
        }

        // Arpeggio: the chord's tones an octave above the pad, up and down in sixteenths.
        if (arpPlays(bar) || inBreak(bar)) {
            const int tones[4] = {chord.tones[0] + 12, chord.tones[1] + 12, chord.tones[2] + 12,
                                  chord.tones[0] + 24};
            static const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 2, 1, 3};
            for (int step = 0; step < 16; ++step) {
                const float velocity = step % 4 == 0 ? 0.9f : 0.65f;
                pluck(t.arp, stepAt(bar, step), tones[order[step]], velocity, arpCutoff(bar, step),
                      step % 2 ? 0.4f : -0.4f);
            }
        }
    }

    // The lead: the phrase in the theme, twice and doubled in the climax.
    playPhrase(t.lead, 16, false);
    playPhrase(t.lead, 32, true);
    playPhrase(t.lead, 40, true);

    // The last hit.
    const int end = stepAt(kBars, 0);
    addKick(t, end, 1.0f);
    crash(t.drums, end, 1.0f, ++seed);
    for (int tone : kAm.tones)
        padNote(t.pad, end, kSampleRate * 3 / 2, tone, 1.0f, 2500.0f);
    bassNote(t.bass, end, kSampleRate, kAm.bass, 0.9f);
}

// ---------------------------------------------------------------------------
// Mixing

// Gain that dips after every kick and recovers in about 150 ms, so the pad
// and the bass breathe with the beat.
std::vector<float> sideChain(const std::vector<int>& kickTimes)
{
    std::vector<float> gain(kTotalSamples, 1.0f);
    const int length = kSampleRate * 3 / 10;
    for (int at : kickTimes) {
        for (int i = 0; i < length && at + i < kTotalSamples; ++i) {
            const float t = static_cast<float>(i) / kSampleRate;
            gain[at + i] = std::min(gain[at + i], 1.0f - 0.6f * std::exp(-t / 0.08f));
        }
    }
    return gain;
}

// A stereo echo: dotted eighth on the left, quarter on the right.
void addEcho(Track& track, float mix, float feedback)
{
    Delay left(3 * kStep), right(4 * kStep);
    for (int i = 0; i < track.size(); ++i) {
        const float l = left.process(track.left[i], feedback);
        const float r = right.process(track.right[i], feedback);
        track.left[i] += mix * l;
        track.right[i] += mix * r;
    }
}

void mixDown(Tracks& t, std::vector<float>& outLeft, std::vector<float>& outRight)
{
    const std::vector<float> duck = sideChain(t.kickTimes);
    addEcho(t.lead, 0.3f, 0.35f);
    addEcho(t.arp, 0.35f, 0.4f);

    struct Bus {
        const Track* track;
        float gain;
        float reverbSend;
        bool ducked;
    };
    const Bus buses[] = {
        {&t.kicks, 0.8f, 0.0f, false}, {&t.drums, 1.8f, 0.05f, false}, {&t.claps, 2.0f, 0.2f, false},
        {&t.bass, 1.15f, 0.0f, true},  {&t.pad, 0.63f, 0.3f, true},     {&t.lead, 1.05f, 0.25f, false},
        {&t.arp, 0.95f, 0.3f, true},
    };

    outLeft.assign(kTotalSamples, 0.0f);
    outRight.assign(kTotalSamples, 0.0f);
    Reverb reverb;
    for (int i = 0; i < kTotalSamples; ++i) {
        float l = 0.0f, r = 0.0f, sendL = 0.0f, sendR = 0.0f;
        for (const Bus& b : buses) {
            const float g = b.gain * (b.ducked ? duck[i] : 1.0f);
            const float bl = b.track->left[i] * g;
            const float br = b.track->right[i] * g;
            l += bl;
            r += br;
            sendL += bl * b.reverbSend;
            sendR += br * b.reverbSend;
        }
        float wetL, wetR;
        reverb.process(sendL, sendR, wetL, wetR);
        outLeft[i] = l + wetL;
        outRight[i] = r + wetR;
    }

    // A 20 Hz high-pass takes out the offset the kick's asymmetric sweep leaves.
    const float dcPole = std::exp(-2.0f * kPi * 20.0f / kSampleRate);
    float prevInL = 0.0f, prevInR = 0.0f, prevOutL = 0.0f, prevOutR = 0.0f;
    for (int i = 0; i < kTotalSamples; ++i) {
        const float inL = outLeft[i], inR = outRight[i];
        prevOutL = inL - prevInL + dcPole * prevOutL;
        prevOutR = inR - prevInR + dcPole * prevOutR;
        prevInL = inL;
        prevInR = inR;
        outLeft[i] = prevOutL;
        outRight[i] = prevOutR;
    }

    // Soft limiting above 0.7, then the whole track scaled to a peak of
    // -2 dBFS, which leaves the encoder room for its overshoot on the hats.
    auto limit = [](float x) {
        const float a = std::fabs(x);
        if (a <= 0.7f)
            return x;
        const float over = a - 0.7f;
        const float limited = 0.7f + over / (1.0f + over * 2.5f);
        return x < 0 ? -limited : limited;
    };
    float peak = 0.0f;
    for (int i = 0; i < kTotalSamples; ++i) {
        outLeft[i] = limit(outLeft[i]);
        outRight[i] = limit(outRight[i]);
        peak = std::max(peak, std::max(std::fabs(outLeft[i]), std::fabs(outRight[i])));
    }
    const float scale = peak > 0.0f ? 0.8f / peak : 1.0f;
    for (int i = 0; i < kTotalSamples; ++i) {
        outLeft[i] *= scale;
        outRight[i] *= scale;
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* usage = "usage: vp_synth OUTPUT.ogg\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        std::fputs("Renders the sample production's soundtrack into OUTPUT.ogg.\n", stdout);
        return 0;
    }
    // An option is never taken for the file to write ("./-x.ogg" names one).
    if (argc != 2 || argv[1][0] == '-') {
        if (argc >= 2 && argv[1][0] == '-')
            std::fprintf(stderr, "vp_synth: unknown option %s\n", argv[1]);
        std::fputs(usage, stderr);
        return 2;
    }
    Tracks tracks;
    writeScore(tracks);
    std::vector<float> left, right;
    mixDown(tracks, left, right);
    if (!writeOggVorbis(argv[1], left, right, 0.4f)) {
        std::fprintf(stderr, "vp_synth: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
