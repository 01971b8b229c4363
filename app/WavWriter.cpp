#include "app/WavWriter.h"

#include <cstdio>

namespace {

void put16(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

} // namespace

bool writeWav(const char* path, int rate, int channels, const int16_t* samples, size_t count)
{
    if (rate <= 0 || channels <= 0 || channels > 0xFFFF)
        return false;
    const uint64_t dataBytes = static_cast<uint64_t>(count) * 2;
    if (dataBytes > 0xFFFFFFFFull - 36)
        return false;
    unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                'f', 'm', 't', ' ', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                'd', 'a', 't', 'a', 0, 0, 0, 0};
    put32(header + 4, static_cast<uint32_t>(36 + dataBytes));
    put32(header + 16, 16);                                        // fmt chunk size
    put16(header + 20, 1);                                         // PCM
    put16(header + 22, static_cast<uint32_t>(channels));
    put32(header + 24, static_cast<uint32_t>(rate));
    put32(header + 28, static_cast<uint32_t>(rate) * channels * 2); // bytes per second
    put16(header + 32, static_cast<uint32_t>(channels) * 2);        // bytes per frame
    put16(header + 34, 16);                                        // bits per sample
    put32(header + 40, static_cast<uint32_t>(dataBytes));

    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    // Samples are host order; write them little-endian whatever the host.
    unsigned char block[4096];
    size_t i = 0;
    while (ok && i < count) {
        size_t n = 0;
        for (; n + 2 <= sizeof block && i < count; n += 2, ++i)
            put16(block + n, static_cast<uint16_t>(samples[i]));
        ok = std::fwrite(block, 1, n, f) == n;
    }
    return std::fclose(f) == 0 && ok;
}
