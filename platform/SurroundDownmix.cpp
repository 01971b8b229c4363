#include "platform/SurroundDownmix.h"

#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr int kMaxLaidOut = 8; // Vorbis defines the order of up to 8 channels
constexpr float kSide = 0.70710678f; // -3 dB

struct Weight {
    float left, right;
};

// The weights of each channel in Vorbis order. Beyond eight channels the
// order is the application's own: the first two are taken as left and right.
void weightsFor(int channels, Weight* w)
{
    for (int c = 0; c < kMaxLaidOut; ++c)
        w[c] = {0.0f, 0.0f};
    const Weight left = {1.0f, 0.0f}, right = {0.0f, 1.0f}, centre = {kSide, kSide};
    const Weight rearLeft = {kSide, 0.0f}, rearRight = {0.0f, kSide};
    switch (channels) {
    case 1:
        w[0] = {1.0f, 1.0f};
        break;
    case 3: // L C R
        w[0] = left, w[1] = centre, w[2] = right;
        break;
    case 4: // FL FR RL RR
        w[0] = left, w[1] = right, w[2] = rearLeft, w[3] = rearRight;
        break;
    case 5: // FL C FR RL RR
    case 6: // ... LFE
        w[0] = left, w[1] = centre, w[2] = right, w[3] = rearLeft, w[4] = rearRight;
        break;
    case 7: // FL C FR SL SR RC LFE
        w[0] = left, w[1] = centre, w[2] = right, w[3] = rearLeft, w[4] = rearRight;
        w[5] = {0.5f, 0.5f};
        break;
    case 8: // FL C FR SL SR RL RR LFE
        w[0] = left, w[1] = centre, w[2] = right, w[3] = rearLeft, w[4] = rearRight;
        w[5] = rearLeft, w[6] = rearRight;
        break;
    default: // 2, and more than 8
        w[0] = left, w[1] = right;
        break;
    }
}

int16_t toSample(float v)
{
    v = v < -32768.0f ? -32768.0f : v > 32767.0f ? 32767.0f : v;
    return static_cast<int16_t>(std::lround(v));
}

} // namespace

void downmixVorbisChannels(const int16_t* in, int inChannels, int frames, int16_t* out, int outChannels)
{
    if (inChannels == outChannels) {
        std::memcpy(out, in, static_cast<size_t>(frames) * inChannels * sizeof *in);
        return;
    }
    if (inChannels == 1) { // to stereo: the same on both sides
        for (int i = 0; i < frames; ++i)
            out[2 * i] = out[2 * i + 1] = in[i];
        return;
    }
    Weight w[kMaxLaidOut];
    weightsFor(inChannels, w);
    float leftSum = 0.0f, rightSum = 0.0f;
    for (const Weight& c : w)
        leftSum += c.left, rightSum += c.right;
    const int used = inChannels < kMaxLaidOut ? inChannels : kMaxLaidOut;
    for (int i = 0; i < frames; ++i) {
        const int16_t* frame = in + static_cast<size_t>(i) * inChannels;
        float l = 0.0f, r = 0.0f;
        for (int c = 0; c < used; ++c) {
            l += w[c].left * frame[c];
            r += w[c].right * frame[c];
        }
        l /= leftSum;
        r /= rightSum;
        if (outChannels == 1)
            out[i] = toSample(0.5f * (l + r));
        else
            out[2 * i] = toSample(l), out[2 * i + 1] = toSample(r);
    }
}

} // namespace platform
