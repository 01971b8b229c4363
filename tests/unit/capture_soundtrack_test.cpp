#include "app/CaptureSoundtrack.h"
#include "platform/OggDecoder.h"
#include "support/Files.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string soundtrack()
{
    const char* dir = std::getenv("VP_PRODUCTION_DIR");
    return std::string(dir ? dir : "") + "/velmorprocess-zqfinal.ogg";
}

struct Wav {
    uint32_t riffSize = 0, rate = 0, byteRate = 0, dataSize = 0;
    uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
    std::vector<int16_t> samples;
};

uint32_t le(const std::vector<unsigned char>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b[at + i];
    return v;
}

Wav readWav(const std::string& path)
{
    std::vector<unsigned char> b = readFile(path);
    Wav w;
    if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVEfmt ", 8) ||
        std::memcmp(b.data() + 36, "data", 4))
        return w;
    w.riffSize = le(b, 4, 4);
    w.format = le(b, 20, 2);
    w.channels = le(b, 22, 2);
    w.rate = le(b, 24, 4);
    w.byteRate = le(b, 28, 4);
    w.blockAlign = le(b, 32, 2);
    w.bits = le(b, 34, 2);
    w.dataSize = le(b, 40, 4);
    w.samples.resize((b.size() - 44) / 2);
    for (size_t i = 0; i < w.samples.size(); ++i)
        w.samples[i] = static_cast<int16_t>(le(b, 44 + 2 * i, 2));
    return w;
}

std::vector<int16_t> decoded(int fromMs, int lengthMs)
{
    platform::DecodedSound s;
    EXPECT_TRUE(platform::decodeOggVorbis(soundtrack().c_str(), fromMs, lengthMs, s));
    return s.samples;
}

std::string scratch(const char* name)
{
    return std::string(::testing::TempDir()) + name + std::to_string(getpid()) + ".wav";
}

} // namespace

// Seven frames at 30 fps from 1.5 s: 7/30 s of the song from 1.5 s, to the
// sample, in a header a player reads as 44.1 kHz 16-bit stereo.
TEST(CaptureSoundtrack, CoversTheFramesExactlyFromTheFirstFramesTime)
{
    const std::string path = scratch("cap_audio");
    ASSERT_TRUE(writeCaptureSoundtrack(soundtrack(), path, 1500, 7, 30));
    Wav w = readWav(path);
    std::remove(path.c_str());
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100u);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.blockAlign, 4);
    EXPECT_EQ(w.byteRate, 44100u * 4);
    const size_t frames = 7 * 44100 / 30;
    ASSERT_EQ(w.samples.size(), frames * 2);
    EXPECT_EQ(w.dataSize, frames * 4);
    EXPECT_EQ(w.riffSize, 36 + frames * 4);
    std::vector<int16_t> song = decoded(1500, 300);
    ASSERT_GE(song.size(), w.samples.size());
    song.resize(w.samples.size());
    EXPECT_EQ(w.samples, song);
}

// Demo time before 0 and past the song's end is silence; the length still
// follows the frames.
TEST(CaptureSoundtrack, SilenceOutsideTheSong)
{
    const std::string path = scratch("cap_audio_edges");
    ASSERT_TRUE(writeCaptureSoundtrack(soundtrack(), path, -250, 10, 20)); // -250 .. 250 ms
    Wav w = readWav(path);
    ASSERT_EQ(w.samples.size(), 22050u * 2);
    const size_t lead = 11025 * 2;
    for (size_t i = 0; i < lead; ++i)
        ASSERT_EQ(w.samples[i], 0) << "sample " << i;
    std::vector<int16_t> song = decoded(0, 260);
    song.resize(w.samples.size() - lead);
    EXPECT_TRUE(std::equal(song.begin(), song.end(), w.samples.begin() + lead));

    ASSERT_TRUE(writeCaptureSoundtrack(soundtrack(), path, 10000000, 4, 10));
    w = readWav(path);
    EXPECT_EQ(w.samples, std::vector<int16_t>(4 * 4410 * 2, 0));

    // Not a soundtrack: failure, and nothing claims success.
    EXPECT_FALSE(writeCaptureSoundtrack(path, scratch("cap_audio_bad"), 0, 4, 10));
    EXPECT_FALSE(writeCaptureSoundtrack(soundtrack(), "/nonexistent-dir/audio.wav", 0, 4, 10));
    std::remove(path.c_str());
}

// A soundtrack exported as a chain whose links change rate and channels
// (44.1 kHz stereo, 22.05 kHz mono, then 48 kHz 5.1 with its tone on the
// centre channel) is written in one layout: each link as long as it lasts,
// at its own pitch, the centre on both sides; and from a time inside a link.
TEST(CaptureSoundtrack, AChainedSurroundSoundtrackKeepsEachLinksPaceAndPlace)
{
    const std::string dir = std::string(::testing::TempDir()) + "cap_chain" + std::to_string(getpid());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const std::string chain = dir + "/chain.ogg", wav = dir + "/audio.wav";
    ASSERT_TRUE(makeToneOgg(dir + "/a.ogg", 44100, 2, 1000, 1.5));
    ASSERT_TRUE(makeToneOgg(dir + "/b.ogg", 22050, 1, 500, 1.5));
    ASSERT_TRUE(makeToneOgg(dir + "/c.ogg", 48000, 6, 750, 1.5, 1));
    ASSERT_TRUE(chainFiles(chain, {dir + "/a.ogg", dir + "/b.ogg", dir + "/c.ogg"}));

    ASSERT_TRUE(writeCaptureSoundtrack(chain, wav, 0, 45, 10)); // 4.5 s
    Wav w = readWav(wav);
    ASSERT_EQ(w.channels, 2);
    ASSERT_GT(w.rate, 0u);
    ASSERT_EQ(w.samples.size(), size_t(w.rate) * 9 / 2 * 2);
    const size_t second = w.rate;
    const struct {
        double startS;
        int hz;
    } links[] = {{0.0, 1000}, {1.5, 500}, {3.0, 750}};
    for (const auto& link : links) {
        const size_t from = static_cast<size_t>((link.startS + 0.25) * second);
        EXPECT_NEAR(zeroCrossings(w.samples, 2, 0, from, second), 2 * link.hz, 10)
            << "the link from " << link.startS << " s";
    }
    const size_t centre = 3 * second + second / 4;
    const double left = loudness(w.samples, 2, 0, centre, second), right = loudness(w.samples, 2, 1, centre, second);
    EXPECT_GT(left, 1000.0);
    EXPECT_NEAR(left, right, left * 0.01) << "the centre is not in the middle";

    // From 2 s: the mono link's last second first.
    ASSERT_TRUE(writeCaptureSoundtrack(chain, wav, 2000, 10, 10));
    w = readWav(wav);
    ASSERT_EQ(w.samples.size(), size_t(w.rate) * 2);
    EXPECT_NEAR(zeroCrossings(w.samples, 2, 0, second / 10, second * 8 / 10), 800, 10);

    for (const char* name : {"/a.ogg", "/b.ogg", "/c.ogg", "/chain.ogg", "/audio.wav"})
        std::remove((dir + name).c_str());
    rmdir(dir.c_str());
}
