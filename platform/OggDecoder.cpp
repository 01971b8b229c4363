#include "platform/OggDecoder.h"

#include "platform/OggPcmReader.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>

namespace platform {

static bool decodeOpen(OggVorbis_File& file, int fromMs, int lengthMs, DecodedSound& out)
{
    const PcmLayout layout = OggPcmReader::nativeLayout(file);
    OggPcmReader reader;
    if (!reader.open(file, layout))
        return false;
    out.rate = layout.rate;
    out.channels = layout.channels;
    double landedMs = 0.0;
    // A sample-exact seek, as the stream's own.
    if (fromMs > 0 && !reader.seek(fromMs, landedMs))
        return false;
    const int64_t wanted = lengthMs < 0 ? -1 : static_cast<int64_t>(lengthMs) * out.rate / 1000;
    int16_t buffer[8192];
    const int bufferFrames = static_cast<int>(sizeof buffer / sizeof *buffer) / out.channels;
    int64_t frames = 0;
    while (wanted < 0 || frames < wanted) {
        const int want = wanted < 0 ? bufferFrames : static_cast<int>(std::min<int64_t>(bufferFrames, wanted - frames));
        const int got = reader.read(buffer, want);
        out.samples.insert(out.samples.end(), buffer, buffer + got * out.channels);
        frames += got;
        if (got < want)
            break;
    }
    return true;
}

bool decodeOggVorbis(const char* path, int fromMs, int lengthMs, DecodedSound& out)
{
    out = DecodedSound();
    OggVorbis_File file;
    if (ov_fopen(path, &file) != 0)
        return false;
    const bool decoded = decodeOpen(file, fromMs, lengthMs, out);
    ov_clear(&file);
    if (!decoded)
        out = DecodedSound();
    return decoded;
}

} // namespace platform
