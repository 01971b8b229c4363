#include "resources/Rar20Audio.h"

#include <cstdlib>

unsigned char rar20AudioPredict(Rar20AudioChannel& v, int channelDelta)
{
    ++v.byteCount;
    v.d[3] = v.d[2];
    v.d[2] = v.d[1];
    v.d[1] = v.lastDelta - v.d[0];
    v.d[0] = v.lastDelta;
    int predicted = 8 * v.lastByte + v.k[0] * v.d[0] + v.k[1] * v.d[1] + v.k[2] * v.d[2] + v.k[3] * v.d[3] +
                    v.k[4] * channelDelta;
    return static_cast<unsigned char>((predicted >> 3) & 0xFF);
}

void rar20AudioUpdate(Rar20AudioChannel& v, int& channelDelta, unsigned delta, unsigned char actual)
{
    int d = static_cast<signed char>(delta) * 8;
    v.dif[0] += std::abs(d);
    v.dif[1] += std::abs(d - v.d[0]);
    v.dif[2] += std::abs(d + v.d[0]);
    v.dif[3] += std::abs(d - v.d[1]);
    v.dif[4] += std::abs(d + v.d[1]);
    v.dif[5] += std::abs(d - v.d[2]);
    v.dif[6] += std::abs(d + v.d[2]);
    v.dif[7] += std::abs(d - v.d[3]);
    v.dif[8] += std::abs(d + v.d[3]);
    v.dif[9] += std::abs(d - channelDelta);
    v.dif[10] += std::abs(d + channelDelta);

    channelDelta = v.lastDelta = static_cast<signed char>(actual - v.lastByte);
    v.lastByte = actual;

    if ((v.byteCount & 0x1F) != 0)
        return;
    // The first smallest sum wins; sum 0 (no change) leaves the weights be.
    uint32_t minDif = v.dif[0];
    unsigned best = 0;
    v.dif[0] = 0;
    for (unsigned i = 1; i < 11; ++i) {
        if (v.dif[i] < minDif) {
            minDif = v.dif[i];
            best = i;
        }
        v.dif[i] = 0;
    }
    if (best == 0)
        return;
    int& k = v.k[(best - 1) / 2];
    if (best & 1) {
        if (k >= -16)
            --k;
    } else if (k < 16) {
        ++k;
    }
}
