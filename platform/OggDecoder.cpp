#include "platform/OggDecoder.h"

#include <vorbis/vorbisfile.h>

namespace platform {

bool decodeOggVorbis(const char* path, int fromMs, int lengthMs, DecodedSound& out)
{
    out = DecodedSound();
    OggVorbis_File file;
    if (ov_fopen(path, &file) != 0)
        return false;
    const vorbis_info* info = ov_info(&file, -1);
    if (!info || info->channels <= 0) {
        ov_clear(&file);
        return false;
    }
    out.rate = static_cast<int>(info->rate);
    out.channels = info->channels;
    // A sample-exact seek, as the stream's own.
    if (fromMs > 0 && ov_time_seek(&file, fromMs / 1000.0) != 0) {
        ov_clear(&file);
        return false;
    }
    const int64_t wanted =
        lengthMs < 0 ? -1 : static_cast<int64_t>(lengthMs) * out.rate / 1000 * out.channels;
    int16_t buffer[8192];
    int section = 0;
    for (;;) {
        // Little-endian, 16-bit, signed: the host's own layout on the machines we run on.
        const long got = ov_read(&file, reinterpret_cast<char*>(buffer), sizeof buffer, 0, 2, 1, &section);
        if (got == OV_HOLE)
            continue;
        if (got <= 0)
            break;
        out.samples.insert(out.samples.end(), buffer, buffer + got / 2);
        if (wanted >= 0 && static_cast<int64_t>(out.samples.size()) >= wanted) {
            out.samples.resize(static_cast<size_t>(wanted));
            break;
        }
    }
    ov_clear(&file);
    return true;
}

} // namespace platform
