#pragma once
// The samples of an open Ogg Vorbis file in one fixed layout (a rate and a
// channel count) from start to end, whatever its links are. A chained file
// (files of their own, one after the other, as `cat a.ogg b.ogg` makes) may
// change its rate and channel count from one link to the next; each link is
// folded to the layout's channels (SurroundDownmix.h) and resampled from its
// own rate, so that a second of any link lasts a second of output.
//
// How it works: every read decodes one packet of the link at hand, folds its
// channels at once and resamples through the converter of the link's rate
// (none when it is the layout's). Where the rate changes the packet of the
// new link waits until the old link's converter has given its last sample.
// Converters for every rate of the file are made when it is opened: the
// music stream reads on the audio thread, which must not make them.

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace platform {

struct PcmLayout {
    int rate = 0;     // frames per second
    int channels = 0; // 1 or 2
};

class OggPcmReader {
public:
    OggPcmReader() = default;
    ~OggPcmReader();
    OggPcmReader(const OggPcmReader&) = delete;
    OggPcmReader& operator=(const OggPcmReader&) = delete;

    // The layout that loses nothing of `file`: its highest rate, mono when
    // every link is mono and stereo otherwise.
    static PcmLayout nativeLayout(OggVorbis_File& file);

    // Reads `file` (open, not owned, outliving the reader) in `layout`;
    // false when a converter cannot be made.
    bool open(OggVorbis_File& file, PcmLayout layout);
    // Fills up to `frames` frames; fewer only at the end of the file.
    int read(int16_t* out, int frames);
    // Moves to `ms` from the start of the file, sample-exact; `landedMs` is
    // where the next frame read comes from. False when it cannot be reached.
    bool seek(int ms, double& landedMs);

private:
    SDL_AudioStream* converterFor(int rate) const;
    void enterLink(int rate);

    OggVorbis_File* file = nullptr;
    PcmLayout layout;
    std::vector<std::pair<int, SDL_AudioStream*>> converters; // by link rate; owned
    int linkRate = 0;                      // of the link whose samples are being given
    SDL_AudioStream* converter = nullptr;  // of linkRate; null when it is the layout's
    bool ended = false;                    // the decoder has given its last sample
    // One packet, folded to the layout's channels, waiting for its turn.
    int16_t decoded[4096];
    int16_t held[8192];
    int heldRate = 0;
    int heldAt = 0, heldFrames = 0;
};

} // namespace platform
