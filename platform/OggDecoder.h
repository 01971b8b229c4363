#pragma once
// Decodes a stretch of an Ogg Vorbis file into 16-bit samples, exactly as the
// music stream would play it from the same position. Used where the
// soundtrack is needed as samples rather than heard: capture writes the
// segment it covers, and tests compare what was heard against it.
#include <cstdint>
#include <vector>

namespace platform {

struct DecodedSound {
    int rate = 0;     // samples per second per channel
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
};

// Decodes from fromMs on, for at most lengthMs (-1: to the end). False when
// the file cannot be opened as Ogg Vorbis or the position cannot be reached.
bool decodeOggVorbis(const char* path, int fromMs, int lengthMs, DecodedSound& out);

} // namespace platform
