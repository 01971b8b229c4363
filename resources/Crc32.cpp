#include "resources/Crc32.h"

#include <cstring>

namespace {

// Eight tables let the loop take eight bytes a step ("slicing by 8"): table k
// holds the effect of a byte followed by k zero bytes.
struct Crc32Tables {
    uint32_t t[8][256];
    Crc32Tables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

const Crc32Tables& tables()
{
    static const Crc32Tables tables;
    return tables;
}

} // namespace

const uint32_t* crc32Table()
{
    return tables().t[0];
}

uint32_t crc32Update(uint32_t c, const void* data, size_t size)
{
    const Crc32Tables& tb = tables();
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (size >= 8) {
        uint32_t lo = c ^ (static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
        uint32_t hi = static_cast<uint32_t>(p[4]) | static_cast<uint32_t>(p[5]) << 8 |
                      static_cast<uint32_t>(p[6]) << 16 | static_cast<uint32_t>(p[7]) << 24;
        c = tb.t[7][lo & 0xFF] ^ tb.t[6][(lo >> 8) & 0xFF] ^ tb.t[5][(lo >> 16) & 0xFF] ^ tb.t[4][lo >> 24] ^
            tb.t[3][hi & 0xFF] ^ tb.t[2][(hi >> 8) & 0xFF] ^ tb.t[1][(hi >> 16) & 0xFF] ^ tb.t[0][hi >> 24];
        p += 8;
        size -= 8;
    }
    while (size--)
        c = tb.t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c;
}
