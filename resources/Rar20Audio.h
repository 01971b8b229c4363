#pragma once
// The audio predictor of RAR 2.0 compression, shared by the decoder and the
// packer so that both walk the same states. Each channel predicts its next
// byte from its last byte, its last four deltas and the last delta of the
// channel decoded before it, with five weights that it retunes every 32 bytes
// towards whichever small change would have predicted best. The stream codes
// the prediction error: byte = predicted - delta (mod 256).

#include <cstdint>

struct Rar20AudioChannel {
    int k[5];          // weights, -17 to 16
    int d[4];          // the last delta and its differences
    int lastDelta;
    uint32_t dif[11];  // error sums of the candidate weight changes
    uint32_t byteCount;
    unsigned char lastByte;
};

// Shifts the channel's deltas for a new byte and returns the predicted byte.
// `channelDelta` is the last delta of the channel decoded just before.
unsigned char rar20AudioPredict(Rar20AudioChannel& v, int channelDelta);

// Records that `actual` was coded as `delta` after rar20AudioPredict, and
// sets `channelDelta` for the next channel.
void rar20AudioUpdate(Rar20AudioChannel& v, int& channelDelta, unsigned delta, unsigned char actual);
