#pragma once
// Folds the channels of a Vorbis file into the player's stereo (or mono)
// output. Vorbis lays out its channels in its own order (front left, centre,
// front right, then the rear and side pairs, the LFE last), which is not the
// order of WAVE files or of SDL (front left, front right, centre, LFE, ...);
// handing them over unchanged puts the centre on the right. The fold gives
// each channel its place: fronts to their side, the centre and the rear and
// side channels to their sides at -3 dB (the centre to both), the LFE
// dropped. Each side is scaled by the sum of what it takes, so that a file
// at full scale on every channel cannot clip; mono and stereo pass unchanged.

#include <cstdint>

namespace platform {

// `frames` frames of `inChannels` interleaved samples in Vorbis order to as
// many frames of `outChannels` (1 or 2). `in` and `out` do not overlap.
void downmixVorbisChannels(const int16_t* in, int inChannels, int frames, int16_t* out, int outChannels);

} // namespace platform
