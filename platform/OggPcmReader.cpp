#include "platform/OggPcmReader.h"

#include "platform/SurroundDownmix.h"

#include <algorithm>
#include <cstring>

namespace platform {

static bool bigEndian()
{
    return SDL_BYTEORDER == SDL_BIG_ENDIAN;
}

OggPcmReader::~OggPcmReader()
{
    for (auto& [rate, stream] : converters)
        SDL_FreeAudioStream(stream);
}

PcmLayout OggPcmReader::nativeLayout(OggVorbis_File& file)
{
    PcmLayout layout;
    layout.channels = 1;
    for (int link = 0; link < ov_streams(&file); ++link) {
        const vorbis_info* info = ov_info(&file, link);
        if (!info)
            continue;
        layout.rate = std::max(layout.rate, static_cast<int>(info->rate));
        if (info->channels > 1)
            layout.channels = 2;
    }
    return layout;
}

bool OggPcmReader::open(OggVorbis_File& vf, PcmLayout wanted)
{
    file = &vf;
    layout = wanted;
    if (layout.rate <= 0 || layout.channels < 1 || layout.channels > 2)
        return false;
    for (int link = 0; link < ov_streams(file); ++link) {
        const vorbis_info* info = ov_info(file, link);
        if (!info || info->rate <= 0 || info->channels <= 0)
            return false;
        const int rate = static_cast<int>(info->rate);
        if (rate == layout.rate || converterFor(rate))
            continue;
        const Uint8 channels = static_cast<Uint8>(layout.channels);
        SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_S16SYS, channels, rate, AUDIO_S16SYS, channels, layout.rate);
        if (!stream)
            return false;
        converters.emplace_back(rate, stream);
    }
    // Freshly opened, a chained file need not read from its first link.
    double landedMs = 0.0;
    return seek(0, landedMs);
}

SDL_AudioStream* OggPcmReader::converterFor(int rate) const
{
    for (const auto& [linkRate, stream] : converters) {
        if (linkRate == rate)
            return stream;
    }
    return nullptr;
}

void OggPcmReader::enterLink(int rate)
{
    linkRate = rate;
    converter = converterFor(rate);
    // A converter used before holds the end of the link it last resampled.
    if (converter)
        SDL_AudioStreamClear(converter);
}

int OggPcmReader::read(int16_t* out, int frames)
{
    const int frameBytes = layout.channels * 2;
    int filled = 0;
    while (filled < frames) {
        if (converter) {
            const int got =
                SDL_AudioStreamGet(converter, out + filled * layout.channels, (frames - filled) * frameBytes);
            if (got > 0) {
                filled += got / frameBytes;
                continue;
            }
        }
        if (heldFrames > 0) {
            // The link before has given its all: the next one's turn.
            if (heldRate != linkRate) {
                enterLink(heldRate);
                continue;
            }
            const int16_t* from = held + heldAt * layout.channels;
            if (converter) {
                if (SDL_AudioStreamPut(converter, from, heldFrames * frameBytes) != 0)
                    ended = true;
                heldFrames = 0;
                continue;
            }
            const int n = std::min(heldFrames, frames - filled);
            std::memcpy(out + filled * layout.channels, from, static_cast<size_t>(n) * frameBytes);
            heldAt += n;
            heldFrames -= n;
            filled += n;
            continue;
        }
        if (ended)
            break;
        int link = 0;
        const long got = ov_read(file, reinterpret_cast<char*>(decoded), sizeof decoded, bigEndian() ? 1 : 0, 2, 1,
                                 &link);
        if (got == OV_HOLE)
            continue; // a gap in the data: skip it, as a player of damaged files should
        const vorbis_info* info = got > 0 ? ov_info(file, link) : nullptr;
        if (!info) { // the end, or an error that ends the file
            ended = true;
            if (converter)
                SDL_AudioStreamFlush(converter);
            continue;
        }
        heldFrames = static_cast<int>(got / (2 * info->channels));
        heldAt = 0;
        heldRate = static_cast<int>(info->rate);
        downmixVorbisChannels(decoded, info->channels, heldFrames, held, layout.channels);
        // The old link's last samples come out before the new link's first.
        if (heldRate != linkRate && converter)
            SDL_AudioStreamFlush(converter);
    }
    return filled;
}

bool OggPcmReader::seek(int ms, double& landedMs)
{
    if (ov_time_seek(file, ms / 1000.0) != 0)
        return false;
    // The time of the whole file: pcm positions of a chain add up samples of
    // different rates.
    landedMs = ov_time_tell(file) * 1000.0;
    ended = false;
    heldFrames = 0;
    const vorbis_info* info = ov_info(file, -1);
    enterLink(info ? static_cast<int>(info->rate) : layout.rate);
    return true;
}

} // namespace platform
