#pragma once
// Encodes 44.1 kHz stereo float samples as an Ogg Vorbis file. The stream's
// serial number is fixed, so the same samples always give the same file.
#include <vector>

namespace synth {

// quality: libvorbis VBR quality, -0.1 to 1.0. Returns false when the file
// cannot be written.
bool writeOggVorbis(const char* path, const std::vector<float>& left, const std::vector<float>& right,
                    float quality);

} // namespace synth
