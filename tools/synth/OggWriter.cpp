#include "tools/synth/OggWriter.h"

#include "tools/synth/Dsp.h"

#include <vorbis/vorbisenc.h>

#include <cstdio>

namespace synth {

static constexpr int kSerialNumber = 0x5a51f1a1;
static constexpr int kBlockSamples = 4096;

static bool writePage(std::FILE* file, const ogg_page& page)
{
    return std::fwrite(page.header, 1, page.header_len, file) == static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, page.body_len, file) == static_cast<size_t>(page.body_len);
}

bool writeOggVorbis(const char* path, const std::vector<float>& left, const std::vector<float>& right,
                    float quality)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, kSampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        std::fclose(file);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Quorvantix");
    vorbis_comment_add_tag(&comment, "ARTIST", "Velmor Process");

    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kSerialNumber);

    bool ok = true;
    {
        ogg_packet header, headerComment, headerCode;
        vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
        ogg_stream_packetin(&stream, &header);
        ogg_stream_packetin(&stream, &headerComment);
        ogg_stream_packetin(&stream, &headerCode);
        // The headers end a page of their own, so audio starts on a fresh page.
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0)
            ok = ok && writePage(file, page);
    }

    const size_t total = left.size();
    size_t done = 0;
    bool ended = false;
    while (!ended && ok) {
        const size_t count = total - done < kBlockSamples ? total - done : kBlockSamples;
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i) {
                buffer[0][i] = left[done + i];
                buffer[1][i] = right[done + i];
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    ok = ok && writePage(file, page);
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

} // namespace synth
