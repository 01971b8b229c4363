#pragma once
// Writes 16-bit PCM as a RIFF WAVE file (the canonical 44-byte header, then
// the interleaved samples, little-endian).

#include <cstddef>
#include <cstdint>

// False when the file cannot be written whole or the data would not fit the
// format's 32-bit sizes.
bool writeWav(const char* path, int rate, int channels, const int16_t* samples, size_t count);
