#pragma once
// The standard reflected CRC-32 (polynomial 0xEDB88320) that the archive uses
// for its members and headers, and whose table the archive's cipher borrows.

#include <cstddef>
#include <cstdint>

// The 256-entry table of the reflected polynomial.
const uint32_t* crc32Table();

// Continues a running value over `size` bytes. Start with 0xFFFFFFFF; the
// stored checksum is the complement of the final running value.
uint32_t crc32Update(uint32_t running, const void* data, size_t size);

// The stored checksum of a whole block.
inline uint32_t crc32(const void* data, size_t size)
{
    return ~crc32Update(0xFFFFFFFFu, data, size);
}
