// What the listener hears, through SDL's disk audio driver (it writes the
// mixed output to a file at the pace of a real device): the soundtrack from
// the demo start on, at the first start and again after a restart.
#include "app/PlaybackControl.h"
#include "engine/DemoEngine.h"
#include "engine/MemoryScriptSource.h"
#include "engine/ScriptPlayer.h"
#include "platform/MusicPosition.h"
#include "platform/MusicStream.h"
#include "platform/OggDecoder.h"
#include "support/Files.h"
#include "support/ProductionScript.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRate = 44100;

std::string productionDir()
{
    const char* dir = std::getenv("VP_PRODUCTION_DIR");
    return dir ? dir : "";
}

std::string soundtrackPath()
{
    return productionDir() + "/velmorprocess-zqfinal.ogg";
}

// The script's demo start, as the player parses it.
int scriptDemoStart()
{
    ProductionScript production;
    return production.script->ok() ? production.script->demoStart() : 0;
}

// Left and right averaged, as floats.
std::vector<float> mono(const std::vector<int16_t>& stereo)
{
    std::vector<float> out(stereo.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 0.5f * (static_cast<float>(stereo[2 * i]) + stereo[2 * i + 1]);
    return out;
}

std::vector<float> heardFile(const std::string& path)
{
    std::vector<unsigned char> bytes = readFile(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return mono(samples);
}

std::vector<float> soundtrackFrom(int ms, int lengthMs)
{
    platform::DecodedSound sound;
    EXPECT_TRUE(platform::decodeOggVorbis(soundtrackPath().c_str(), ms, lengthMs, sound));
    EXPECT_EQ(sound.rate, kRate);
    EXPECT_EQ(sound.channels, 2);
    return mono(sound.samples);
}

// Normalised correlation of a[offset...] with b[0...] over `frames` frames.
double correlation(const std::vector<float>& a, size_t offset, const std::vector<float>& b, size_t frames)
{
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < frames && offset + i < a.size() && i < b.size(); ++i) {
        ab += static_cast<double>(a[offset + i]) * b[i];
        aa += static_cast<double>(a[offset + i]) * a[offset + i];
        bb += static_cast<double>(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

std::vector<float> decimate(const std::vector<float>& s, size_t factor)
{
    std::vector<float> out(s.size() / factor);
    for (size_t i = 0; i < out.size(); ++i) {
        float sum = 0;
        for (size_t k = 0; k < factor; ++k)
            sum += s[i * factor + k];
        out[i] = sum;
    }
    return out;
}

// Where the reference begins in what was heard, searched between frames
// [from, to): a coarse pass on averaged blocks of 8 frames, then exact.
constexpr size_t kFactor = 8;
constexpr size_t kTemplate = 8192;

size_t refineStart(const std::vector<float>& heard, const std::vector<float>& reference, size_t coarse)
{
    const size_t lo = coarse > 2 * kFactor ? coarse - 2 * kFactor : 0;
    size_t best = coarse;
    double bestCorrelation = -2;
    for (size_t o = lo; o < coarse + 2 * kFactor; ++o) {
        const double c = correlation(heard, o, reference, kTemplate);
        if (c > bestCorrelation) {
            bestCorrelation = c;
            best = o;
        }
    }
    return best;
}

size_t findStart(const std::vector<float>& heard, const std::vector<float>& reference, size_t from, size_t to)
{
    const std::vector<float> coarseHeard = decimate(heard, kFactor);
    const std::vector<float> coarseReference = decimate(reference, kFactor);
    size_t best = from;
    double bestCorrelation = -2;
    for (size_t o = from / kFactor; o < to / kFactor && o < coarseHeard.size(); ++o) {
        const double c = correlation(coarseHeard, o, coarseReference, kTemplate / kFactor);
        if (c > bestCorrelation) {
            bestCorrelation = c;
            best = o * kFactor;
        }
    }
    return refineStart(heard, reference, best);
}

// Every place where the reference begins. Candidates are peaks of the coarse
// correlation; a start is where the exact correlation is all but perfect
// (the stream plays the decoder's samples unchanged). The intro's kicks and
// held chord repeat closely a beat or a bar later, which the coarse pass and
// a looser threshold would take for starts too.
std::vector<size_t> findStarts(const std::vector<float>& heard, const std::vector<float>& reference)
{
    const std::vector<float> coarseHeard = decimate(heard, kFactor);
    const std::vector<float> coarseReference = decimate(reference, kFactor);
    const size_t span = kTemplate / kFactor;
    std::vector<size_t> starts;
    for (size_t o = 0; o + span < coarseHeard.size(); ++o) {
        if (correlation(coarseHeard, o, coarseReference, span) < 0.9)
            continue;
        const size_t start = refineStart(heard, reference, o * kFactor);
        if (correlation(heard, start, reference, kTemplate) < 0.995)
            continue;
        if (starts.empty() || start > starts.back() + kRate / 2)
            starts.push_back(start);
    }
    return starts;
}

long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// Waits until the sound output has written `seconds` of sound (16-bit
// stereo) to the file after the size it had on the call; false after a
// minute, which only a stuck output takes.
bool hearFor(const std::string& path, double seconds)
{
    const long until = fileSize(path) + static_cast<long>(seconds * kRate) * 4;
    for (int i = 0; i < 6000; ++i) {
        if (fileSize(path) >= until)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A scratch folder, removed with its files.
struct ScratchDir {
    ScratchDir()
    {
        char name[] = "/tmp/vp_music_XXXXXX";
        path = mkdtemp(name);
    }
    ~ScratchDir()
    {
        if (DIR* d = opendir(path.c_str())) {
            while (dirent* e = readdir(d)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, ".."))
                    unlink((path + "/" + e->d_name).c_str());
            }
            closedir(d);
        }
        rmdir(path.c_str());
    }
    std::string path;
};

// A hidden engine whose sound goes to SDL's disk driver, which writes to
// `heardPath` what a listener would hear, sample for sample.
DemoEngine& engineHeardIn(const std::string& heardPath)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardPath.c_str(), 1);
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "music test", 320, 240, 0, 0.0f);
    return *DemoEngine::getInstance();
}

} // namespace

// The player as a person runs it: music from the demo start, and from the
// demo start again after Ctrl+Shift (restart) and Ctrl+Home (reload).
TEST(MusicStreamHeard, StartRestartAndReloadPlayTheSoundtrackFromTheDemoStart)
{
    const char* player = std::getenv("VPLAYER");
    ASSERT_TRUE(player);
    ScratchDir dir;
    const std::string heardPath = dir.path + "/heard.raw";
    for (const char* name : {"data", "data.vpd", "velmorprocess-zqfinal.ogg"})
        symlink((productionDir() + "/" + name).c_str(), (dir.path + "/" + name).c_str());

    // On a display of its own: Ctrl+Shift, Ctrl+Home and SIGTERM, each after
    // two seconds of sound from the start before; the signal is no success.
    const char* source = std::getenv("VP_SOURCE_DIR");
    ASSERT_TRUE(source);
    const std::string command = "cd '" + dir.path + "' && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + heardPath +
                                "' bash '" + source + "/tests/support/play_with_keys.sh' '" + player +
                                "' --windowed --resolution 320x240 --log";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 128 + SIGTERM);

    const std::vector<float> heard = heardFile(heardPath);
    // The disk driver writes at about the pace of a device, a little slower
    // on a busy machine.
    ASSERT_GT(heard.size(), static_cast<size_t>(3 * kRate)) << "less than three seconds were heard";
    const int demoStart = scriptDemoStart();
    const std::vector<float> reference = soundtrackFrom(demoStart, 6000);

    const std::vector<size_t> starts = findStarts(heard, reference);
    std::string found;
    for (size_t start : starts)
        found += " " + std::to_string(start);
    ASSERT_EQ(starts.size(), 3u) << "expected the start, the restart and the reload; found at" << found;
    // Before the music the device plays silence: the run opens the sound first.
    EXPECT_EQ(correlation(heard, 0, heard, starts[0]), 0.0);
    for (size_t i = 0; i < starts.size(); ++i) {
        const size_t end = i + 1 < starts.size() ? starts[i + 1] : heard.size() - 4096; // the last buffer may be cut
        const size_t played = end - starts[i];
        EXPECT_GT(played, static_cast<size_t>(kRate / 2)) << "start " << i;
        EXPECT_GT(correlation(heard, starts[i], reference, played - 1024), 0.99)
            << "start " << i << " heard from frame " << starts[i] << " for " << played << " frames";
    }

    // The threshold tells positions apart: one bar later the kicks still line
    // up but the chord is another (about 0.9 in the intro, where the kick
    // dominates), half a beat later nothing does.
    const size_t played = starts[1] - starts[0] - 1024;
    const std::vector<float> barLater = soundtrackFrom(demoStart + 1920, 6000);
    EXPECT_LT(correlation(heard, starts[0], barLater, played), 0.95);
    const std::vector<float> halfBeatLater = soundtrackFrom(demoStart + 240, 6000);
    EXPECT_LT(correlation(heard, starts[0], halfBeatLater, played), 0.5);
}

TEST(MusicStreamHeard, RestartRepositionsTheOpenStreamWithoutReopeningIt)
{
    ScratchDir dir;
    const std::string heardPath = dir.path + "/heard.raw";

    // A copy of the soundtrack that is gone once opened: a reopen would fail.
    const std::string copy = dir.path + "/music.ogg";
    std::filesystem::copy_file(soundtrackPath(), copy, std::filesystem::copy_options::overwrite_existing);

    DemoEngine& engine = engineHeardIn(heardPath);
    ASSERT_TRUE(engine.initSound());
    ASSERT_TRUE(engine.openMusic(copy.c_str()));
    unlink(copy.c_str());

    // First start at 5 s (the intro), restart at 33 s (the theme), each
    // heard for a second and a half.
    const int firstMs = 5000, restartMs = 33000;
    engine.setMusicTime(firstMs);
    // Only what is mixed after the call can hold the music.
    const size_t heardBefore = static_cast<size_t>(fileSize(heardPath)) / 4;
    const auto before = std::chrono::steady_clock::now();
    engine.playMusic();
    const double startMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
    ASSERT_TRUE(hearFor(heardPath, 1.5));
    engine.setMusicTime(restartMs);
    engine.playMusic();
    ASSERT_TRUE(hearFor(heardPath, 1.5));
    engine.closeSound();
    // A measurement, not a verdict: how long the first frame waits for the stream.
    std::printf("playMusic took %.2f ms\n", startMs);

    const std::vector<float> heard = heardFile(heardPath);
    ASSERT_GT(heard.size(), static_cast<size_t>(2 * kRate));
    const std::vector<float> first = soundtrackFrom(firstMs, 3000);
    const std::vector<float> second = soundtrackFrom(restartMs, 3000);

    const size_t firstStart = findStart(heard, first, heardBefore, heardBefore + kRate);
    // The restart comes after at least a second and a half of the first.
    const size_t secondStart = findStart(heard, second, firstStart + kRate / 2, heard.size() - kTemplate);
    const size_t firstLength = secondStart - firstStart;
    EXPECT_GT(firstLength, static_cast<size_t>(kRate));
    EXPECT_GT(correlation(heard, firstStart, first, firstLength - 1024), 0.99);
    const size_t secondLength = heard.size() - secondStart - 4096;
    EXPECT_GT(secondLength, static_cast<size_t>(kRate));
    EXPECT_GT(correlation(heard, secondStart, second, secondLength), 0.99);
}

// Past the end nothing is heard, whether the stream starts there (from its
// very length on: a start there has no sample left to seek to) or a playing
// stream is moved there (one that played on from where it was would keep a
// clock following the music waiting for it). Neither is an error.
TEST(MusicStreamHeard, MusicTimePastTheEndPlaysNothingAndIsNotAnError)
{
    ScratchDir dir;
    const std::string heardPath = dir.path + "/heard.raw";
    DemoEngine& engine = engineHeardIn(heardPath);
    ASSERT_TRUE(engine.initSound());
    int lengthMs = 0;
    {
        std::unique_ptr<platform::MusicStream> probe(platform::MusicStream::open(soundtrackPath().c_str()));
        ASSERT_TRUE(probe);
        lengthMs = probe->durationMs();
    }
    ASSERT_GT(lengthMs, 60000);
    ASSERT_TRUE(engine.openMusic(soundtrackPath().c_str()));
    engine.setMusicTime(lengthMs);
    engine.playMusic(); // "could not play stream" ends the process
    ASSERT_TRUE(hearFor(heardPath, 0.5));
    std::vector<float> heard = heardFile(heardPath);
    ASSERT_GT(heard.size(), 0u);
    EXPECT_EQ(correlation(heard, 0, heard, heard.size()), 0.0) << "something was heard";

    engine.setMusicTime(33000);
    engine.playMusic();
    ASSERT_TRUE(hearFor(heardPath, 1.0));
    engine.setMusicTime(10 * 60 * 1000);
    ASSERT_TRUE(hearFor(heardPath, 1.0));
    engine.closeSound();
    heard = heardFile(heardPath);
    auto loudest = [&](size_t from, size_t to) {
        float peak = 0.0f;
        for (size_t i = from; i < to && i < heard.size(); ++i)
            peak = std::max(peak, std::fabs(heard[i]));
        return peak;
    };
    // The theme before the seek; the last half second, well after the
    // seek's buffers were mixed, silent.
    const size_t tail = heard.size() - kRate / 2;
    EXPECT_GT(loudest(tail - 3 * kRate / 2, tail - kRate / 2), 1000.0f) << "the theme was not heard";
    EXPECT_EQ(loudest(tail, heard.size()), 0.0f) << "the music played on after a seek past its end";
}

// A seek back (Page Up, a loop's jump, a watched save) holds the music while
// the demo is built again, instead of letting it play on and then jump; a
// paused viewer's start keeps it held. Only the buffers already mixed when
// the call returns may still carry sound.
TEST(MusicStreamHeard, ASeekBackHoldsTheMusicUntilTheStartLetsItGo)
{
    ScratchDir dir;
    const std::string heardPath = dir.path + "/heard.raw";
    DemoEngine& engine = engineHeardIn(heardPath);
    ASSERT_TRUE(engine.initSound());
    ASSERT_TRUE(engine.openMusic(soundtrackPath().c_str()));
    MemoryScriptSource source;
    source.addFile("data/testscript.scr", "SETUP\nTIMELINE\n600000 END_DEMO\n");
    ScriptPlayer player("data/testscript.scr", &source);
    PlaybackControl playback(true, -1);
    playback.startTime(player.demoStart());

    // The theme, heard.
    engine.setMusicTime(33000);
    engine.playMusic();
    ASSERT_TRUE(hearFor(heardPath, 0.5));
    const size_t playing = static_cast<size_t>(fileSize(heardPath)) / 4;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(playback.seek(engine, player, 38000, 33000));
    testing::internal::GetCapturedStdout();
    const size_t held = static_cast<size_t>(fileSize(heardPath)) / 4;
    ASSERT_TRUE(hearFor(heardPath, 0.5)); // the build
    engine.setMusicTime(33000);
    engine.playMusic(true); // the start of a paused viewer
    ASSERT_TRUE(hearFor(heardPath, 0.5));
    const size_t letGo = static_cast<size_t>(fileSize(heardPath)) / 4;
    engine.pauseMusic(false);
    ASSERT_TRUE(hearFor(heardPath, 0.5));
    engine.closeSound();

    const std::vector<float> heard = heardFile(heardPath);
    const size_t inFlight = 4 * 1024; // mixed before the call, written after
    ASSERT_GT(heard.size(), letGo + inFlight);
    auto loudest = [&](size_t from, size_t to) {
        float peak = 0;
        for (size_t i = from; i < to; ++i)
            peak = std::max(peak, std::fabs(heard[i]));
        return peak;
    };
    EXPECT_GT(loudest(playing / 2, playing), 1000.0f) << "the theme was not heard before the seek";
    EXPECT_EQ(loudest(held + inFlight, letGo), 0.0f) << "the music played on while the demo was built";
    EXPECT_GT(loudest(letGo + inFlight, heard.size()), 1000.0f) << "the music did not go on when let go";
}

TEST(MusicStreamHeardDeathTest, PlayingWithoutAStreamIsFatal)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VP_NO_DIALOGS", "1", 1);
    EXPECT_EXIT(
        {
            DemoEngine::settings().hiddenWindow = true;
            DemoEngine::create(false, "music test", 320, 240, 0, 0.0f);
            DemoEngine& engine = *DemoEngine::getInstance();
            engine.initSound();
            engine.openMusic("/nonexistent/music.ogg");
            engine.playMusic();
        },
        testing::ExitedWithCode(1), "error: could not play stream");
}

// A production's soundtrack need not be 44.1 kHz stereo: a 48 kHz mono tone
// is heard at its own pitch on both sides.
TEST(MusicStreamHeard, AnotherRateAndChannelCountAreHeardAtTheirOwnPitch)
{
    ScratchDir dir;
    const std::string heardPath = dir.path + "/heard.raw";
    const std::string tone = dir.path + "/tone.ogg";
    ASSERT_EQ(std::system(("sox -q -n -r 48000 -c 1 '" + tone + "' synth 3 sine 1000 vol 0.5").c_str()), 0);
    DemoEngine& engine = engineHeardIn(heardPath);
    ASSERT_TRUE(engine.initSound());
    ASSERT_TRUE(engine.openMusic(tone.c_str()));
    engine.setMusicTime(0);
    engine.playMusic();
    ASSERT_TRUE(hearFor(heardPath, 2.0));
    engine.closeSound();

    std::vector<unsigned char> bytes = readFile(heardPath);
    std::vector<int16_t> stereo(bytes.size() / 2);
    std::memcpy(stereo.data(), bytes.data(), stereo.size() * 2);
    size_t first = 0;
    while (first < stereo.size() && stereo[first] == 0)
        ++first;
    first = first / 2 + kRate / 10; // past the tone's first samples
    ASSERT_LT((first + kRate) * 2, stereo.size()) << "less than a second of the tone was heard";
    // 1000 Hz crosses zero 2000 times a second; at a wrong rate it would be
    // 1088 (48 kHz taken for 44.1 kHz) or 919 Hz.
    int crossings = 0;
    double leftRight = 0, leftLeft = 0, rightRight = 0;
    for (size_t i = first; i < first + kRate; ++i) {
        const int16_t left = stereo[2 * i], right = stereo[2 * i + 1];
        crossings += (left < 0) != (stereo[2 * i + 2] < 0) ? 1 : 0;
        leftRight += double(left) * right;
        leftLeft += double(left) * left;
        rightRight += double(right) * right;
    }
    EXPECT_NEAR(crossings, 2000, 10);
    ASSERT_GT(leftLeft, 0.0);
    EXPECT_GT(leftRight / std::sqrt(leftLeft * rightRight), 0.99) << "the sides differ";
}

// A soundtrack exported as a chain whose links change rate and channels
// (44.1 kHz stereo, 22.05 kHz mono, then 48 kHz 5.1 with its tone on the
// centre channel): each link is heard for as long as it lasts, at its own
// pitch, the centre in the middle; a start inside the second link is heard
// there, and the music's clock tells that position.
TEST(MusicStreamHeard, EachLinkOfAChainedSoundtrackIsHeardAtItsPaceAndInItsPlace)
{
    ScratchDir dir;
    const std::string heardPath = dir.path + "/heard.raw";
    const std::string chain = dir.path + "/chain.ogg";
    ASSERT_TRUE(makeToneOgg(dir.path + "/a.ogg", 44100, 2, 1000, 1.5));
    ASSERT_TRUE(makeToneOgg(dir.path + "/b.ogg", 22050, 1, 500, 1.5));
    ASSERT_TRUE(makeToneOgg(dir.path + "/c.ogg", 48000, 6, 750, 1.5, 1));
    ASSERT_TRUE(chainFiles(chain, {dir.path + "/a.ogg", dir.path + "/b.ogg", dir.path + "/c.ogg"}));
    DemoEngine& engine = engineHeardIn(heardPath);
    ASSERT_TRUE(engine.initSound());
    ASSERT_TRUE(engine.openMusic(chain.c_str()));
    engine.setMusicTime(0);
    engine.playMusic();
    ASSERT_TRUE(hearFor(heardPath, 5.0));

    // Started inside the second link; the clock is read between two sizes of
    // what was heard, each a position the music must be near.
    const long before = fileSize(heardPath);
    engine.setMusicTime(2000);
    engine.playMusic();
    ASSERT_TRUE(hearFor(heardPath, 0.5));
    const long sizeBefore = fileSize(heardPath);
    double clockMs = 0;
    int64_t counter = 0;
    const bool heard = platform::heardMusicPosition(clockMs, counter);
    const long sizeAfter = fileSize(heardPath);
    ASSERT_TRUE(hearFor(heardPath, 2.0));
    engine.closeSound();
    ASSERT_TRUE(heard) << "no music was heard after the start at 2000 ms";
    EXPECT_GT(clockMs, 2000 + (sizeBefore - before) / 4 * 1000.0 / kRate - 100) << "the clock is behind the music";
    EXPECT_LT(clockMs, 2000 + (sizeAfter - before) / 4 * 1000.0 / kRate + 50) << "the clock is ahead of the music";

    std::vector<unsigned char> bytes = readFile(heardPath);
    std::vector<int16_t> stereo(bytes.size() / 2);
    std::memcpy(stereo.data(), bytes.data(), stereo.size() * 2);
    auto firstSound = [&](size_t from) {
        size_t i = from;
        while (i < stereo.size() / 2 && stereo[2 * i] == 0 && stereo[2 * i + 1] == 0)
            ++i;
        return i;
    };
    // From the start: every link at its pitch, for its length.
    const size_t start = firstSound(0);
    const struct {
        double startS;
        int hz;
    } links[] = {{0.0, 1000}, {1.5, 500}, {3.0, 750}};
    for (const auto& link : links) {
        const size_t from = start + static_cast<size_t>((link.startS + 0.25) * kRate);
        EXPECT_NEAR(zeroCrossings(stereo, 2, 0, from, kRate), 2 * link.hz, 10)
            << "the link from " << link.startS << " s";
    }
    const size_t centre = start + 3 * kRate + kRate / 4;
    const double left = loudness(stereo, 2, 0, centre, kRate), right = loudness(stereo, 2, 1, centre, kRate);
    EXPECT_GT(left, 1000.0);
    EXPECT_NEAR(left, right, left * 0.01) << "the centre is not in the middle";
    // The whole song lasts its 4.5 s: played out, then silence.
    size_t end = start;
    for (size_t i = start; i < static_cast<size_t>(before) / 4; ++i)
        if (stereo[2 * i] != 0 || stereo[2 * i + 1] != 0)
            end = i;
    EXPECT_NEAR(static_cast<double>(end - start) / kRate, 4.5, 0.05);

    // From 2 s: the second link's last second, then the third.
    const size_t restart = firstSound(static_cast<size_t>(before) / 4);
    EXPECT_NEAR(zeroCrossings(stereo, 2, 0, restart + kRate / 10, kRate * 8 / 10), 800, 10);
    EXPECT_NEAR(zeroCrossings(stereo, 2, 0, restart + kRate + kRate / 10, kRate), 1500, 10);
}
