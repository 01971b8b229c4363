#include "app/CaptureSoundtrack.h"

#include "app/WavWriter.h"
#include "platform/OggDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

bool writeCaptureSoundtrack(const std::string& oggPath, const std::string& wavPath, int fromMs, int frames, int fps,
                            int fpsDen)
{
    // The format comes from the file itself; a failed decode of nothing means
    // it is not a soundtrack at all.
    platform::DecodedSound format;
    if (!platform::decodeOggVorbis(oggPath.c_str(), 0, 0, format)) {
        std::fprintf(stderr, "vplayer: cannot decode the soundtrack '%s' for '%s'\n", oggPath.c_str(),
                     wavPath.c_str());
        return false;
    }
    const int64_t rate = format.rate;
    const int64_t channels = format.channels;
    const int64_t total =
        frames > 0 && fps > 0 && fpsDen > 0 ? static_cast<int64_t>(frames) * rate * fpsDen / fps : 0;
    // Sample frames of silence before demo time 0.
    const int64_t lead = fromMs < 0 ? std::min(total, -static_cast<int64_t>(fromMs) * rate / 1000) : 0;

    platform::DecodedSound sound;
    if (total > lead) {
        const int startMs = std::max(fromMs, 0);
        // One millisecond more than needed: the decoder counts whole
        // milliseconds, the frames need not end on one.
        const int64_t lengthMs = (total - lead) * 1000 / rate + 1;
        // A start past the song's end cannot be sought to: all silence.
        platform::decodeOggVorbis(oggPath.c_str(), startMs, static_cast<int>(std::min<int64_t>(lengthMs, INT32_MAX)),
                                  sound);
    }
    std::vector<int16_t> samples(static_cast<size_t>(total * channels), 0);
    const size_t offset = static_cast<size_t>(lead * channels);
    const size_t n = std::min(sound.samples.size(), samples.size() - offset);
    std::copy_n(sound.samples.begin(), n, samples.begin() + static_cast<std::ptrdiff_t>(offset));

    if (!writeWav(wavPath.c_str(), static_cast<int>(rate), static_cast<int>(channels), samples.data(),
                  samples.size())) {
        std::fprintf(stderr, "vplayer: cannot write '%s'\n", wavPath.c_str());
        return false;
    }
    return true;
}
