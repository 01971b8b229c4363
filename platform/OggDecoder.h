#pragma once
// Decodes a stretch of an Ogg Vorbis file into 16-bit samples, as the music
// stream would play it from the same position: a chained file's links in one
// layout, surround folded to stereo (OggPcmReader.h), here at the file's own
// highest rate rather than the device's. Used where the soundtrack is needed
// as samples rather than heard: capture writes the segment it covers, and
// tests compare what was heard against it.
#include <cstdint>
#include <vector>

namespace platform {

struct DecodedSound {
    int rate = 0;     // samples per second per channel
    int channels = 0; // 1 when every link is mono, else 2
    std::vector<int16_t> samples; // interleaved
};

// Decodes from fromMs on, for at most lengthMs (-1: to the end). False when
// the file cannot be opened as Ogg Vorbis or the position cannot be reached.
bool decodeOggVorbis(const char* path, int fromMs, int lengthMs, DecodedSound& out);

} // namespace platform
