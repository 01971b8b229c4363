#include "app/CaptureProgress.h"
#include "app/VideoExport.h"
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string scratch(const char* name)
{
    return std::string(::testing::TempDir()) + name + std::to_string(getpid());
}

// Output of a shell command, trailing newline removed.
std::string commandOutput(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// A 16-bit stereo WAV of `frames` sample frames of a quiet square wave.
void writeTestWav(const std::string& path, int rate, int frames)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    uint32_t data = static_cast<uint32_t>(frames) * 4;
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + data);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(2);
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate) * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(data);
    for (int i = 0; i < frames; ++i) {
        int16_t s = (i / 50) % 2 ? 3000 : -3000;
        std::fwrite(&s, 2, 1, f);
        std::fwrite(&s, 2, 1, f);
    }
    std::fclose(f);
}

} // namespace

TEST(VideoExport, FrameRatesAreWholeNumbersOrFractions)
{
    struct Case {
        const char* text;
        bool ok;
        int num, den;
    } cases[] = {
        {"25", true, 25, 1},           {"60000/1001", true, 60000, 1001}, {"30000/1001", true, 30000, 1001},
        {"1000", true, 1000, 1},       {"1001", false, 0, 0},             {"0", false, 0, 0},
        {"-25", false, 0, 0},          {"25/0", false, 0, 0},             {"25/", false, 0, 0},
        {"/25", false, 0, 0},          {"2.5", false, 0, 0},              {"25x", false, 0, 0},
        {"", false, 0, 0},             {"1/1000", true, 1, 1000},         {"1/1001", false, 0, 0},
        {"99999999999", false, 0, 0},  {"+25", false, 0, 0},              {"25/ 1", false, 0, 0},
    };
    for (const Case& c : cases) {
        int num = 0, den = 0;
        EXPECT_EQ(parseFrameRate(c.text, num, den), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(num, c.num) << c.text;
            EXPECT_EQ(den, c.den) << c.text;
        }
    }
    int num = 0, den = 0;
    EXPECT_FALSE(parseFrameRate(nullptr, num, den));
}

TEST(VideoExport, VideoNamesAreKnownContainersWhateverTheirCase)
{
    for (const char* yes : {"out.mp4", "a/b.MKV", "x.mov", "x.m4v", "x.avi", "dir.d/x.ts", "/tmp/demo.Mp4"})
        EXPECT_TRUE(isVideoFileName(yes)) << yes;
    for (const char* no : {"frames", "out.png", "out.mp4/", "a.mp4/frames", "mp4", "out.", "out.webm", ".d/x"})
        EXPECT_FALSE(isVideoFileName(no)) << no;
}

TEST(VideoExport, ProgressLineShowsFramesSpeedAndTimeLeft)
{
    char line[128];
    formatCaptureProgress(line, sizeof line, 250, 2775, 10.0);
    EXPECT_STREQ(line, "frame 250/2775 (9%)  25.0 fps  1:41 left");
    formatCaptureProgress(line, sizeof line, 0, 100, 0.0);
    EXPECT_STREQ(line, "frame 0/100 (0%)");
    // End unknown, or overrun by a demo that ends later than it said.
    formatCaptureProgress(line, sizeof line, 30, 0, 2.0);
    EXPECT_STREQ(line, "frame 30  15.0 fps");
    formatCaptureProgress(line, sizeof line, 120, 100, 2.0);
    EXPECT_STREQ(line, "frame 120  60.0 fps");
    // A tiny buffer is cut, never overrun.
    char tiny[8];
    formatCaptureProgress(tiny, sizeof tiny, 250, 2775, 10.0);
    EXPECT_STREQ(tiny, "frame 2");
}

TEST(ChildProcess, ReportsExitStatusAndSurvivesAHelperThatQuits)
{
    EXPECT_FALSE(platform::findExecutable("sh").empty());
    EXPECT_TRUE(platform::findExecutable("vp-no-such-program").empty());

    platform::ChildProcess ok;
    ASSERT_TRUE(ok.start({"sh", "-c", "cat >/dev/null"}, true));
    std::vector<char> data(1 << 20, 'x');
    EXPECT_TRUE(ok.write(data.data(), data.size()));
    EXPECT_TRUE(ok.finish());

    platform::ChildProcess failing;
    ASSERT_TRUE(failing.start({"sh", "-c", "exit 3"}, false));
    EXPECT_FALSE(failing.finish());

    // Writing into a helper that has gone away fails instead of killing us.
    platform::ChildProcess gone;
    ASSERT_TRUE(gone.start({"true"}, true));
    bool wrote = true;
    for (int i = 0; i < 64 && wrote; ++i)
        wrote = gone.write(data.data(), data.size());
    EXPECT_FALSE(wrote);
    gone.finish();

    platform::ChildProcess missing;
    EXPECT_FALSE(missing.start({"vp-no-such-program"}, true));
    EXPECT_FALSE(missing.running());
}

// The live check's process is told not to show boxes whatever the player's
// own setting, and keeps the rest of the player's environment.
TEST(ChildProcess, OutputIsCollectedWithTheGivenEnvironmentOverThePlayers)
{
    const char* own = std::getenv("VP_NO_DIALOGS");
    const std::string saved = own ? own : "";
    setenv("VP_NO_DIALOGS", "0", 1);
    setenv("VP_CHILD_TEST_KEPT", "kept", 1);
    std::string output;
    const char* script = "echo $VP_NO_DIALOGS $VP_CHILD_TEST_KEPT; env | grep -c '^VP_NO_DIALOGS='; echo oops >&2; exit 1";
    EXPECT_EQ(platform::runCapturingOutput({"/bin/sh", "-c", script}, output, {"VP_NO_DIALOGS=1"}), 1);
    EXPECT_EQ(output, "1 kept\n1\noops\n");
    unsetenv("VP_CHILD_TEST_KEPT");
    if (own)
        setenv("VP_NO_DIALOGS", saved.c_str(), 1);
    else
        unsetenv("VP_NO_DIALOGS");
}

TEST(VideoExport, WritesAVideoWithItsFrameRateLengthAndSound)
{
    if (platform::findExecutable("ffmpeg").empty() || platform::findExecutable("ffprobe").empty())
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string out = scratch("export") + ".mp4";
    const int w = 33, h = 17; // odd sizes are padded for the encoder
    const int frames = 30;
    VideoExport video(out, 60000, 1001);
    ASSERT_TRUE(video.prepare());
    ASSERT_TRUE(video.start(w, h));
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int k = 0; k < frames; ++k) {
        for (size_t i = 0; i < rgba.size(); i += 4) {
            rgba[i] = static_cast<uint8_t>(k * 8);
            rgba[i + 1] = 40;
            rgba[i + 2] = 200;
            rgba[i + 3] = 255;
        }
        ASSERT_TRUE(video.writeFrame(rgba.data()));
    }
    // A song shorter than the frames from 0.25 s on: the rest is silence,
    // and the sound lasts exactly as long as the frames.
    const std::string song = scratch("song") + ".wav";
    writeTestWav(song, 44100, 44100 / 2);
    ASSERT_TRUE(video.finish(song, 250, frames));
    EXPECT_FALSE(std::filesystem::exists(out + ".part"));
    std::filesystem::remove(song);

    const std::string probe = "ffprobe -v error -of default=nw=1:nk=1 ";
    EXPECT_EQ(commandOutput(probe + "-select_streams v:0 -show_entries stream=r_frame_rate " + out), "60000/1001");
    EXPECT_EQ(commandOutput(probe + "-select_streams v:0 -show_entries stream=width,height " + out), "34\n18");
    EXPECT_EQ(commandOutput(probe + "-select_streams v:0 -count_frames -show_entries stream=nb_read_frames " + out),
              std::to_string(frames));
    EXPECT_EQ(commandOutput(probe + "-select_streams a:0 -show_entries stream=codec_name " + out), "aac");
    double seconds = std::atof(commandOutput(probe + "-show_entries format=duration " + out).c_str());
    EXPECT_NEAR(seconds, frames * 1001.0 / 60000.0, 0.03);
    double sound = std::atof(commandOutput(probe + "-select_streams a:0 -show_entries stream=duration " + out).c_str());
    EXPECT_NEAR(sound, frames * 1001.0 / 60000.0, 0.03);
    std::filesystem::remove(out);
}

TEST(VideoExport, AnEncoderThatFailsLeavesNoFilesBehind)
{
    if (platform::findExecutable("ffmpeg").empty())
        GTEST_SKIP() << "ffmpeg is not installed";
    // A folder that does not exist: ffmpeg cannot open its output.
    const std::string out = scratch("nodir") + "/sub/out.mkv";
    {
        VideoExport video(out, 25, 1);
        ASSERT_TRUE(video.start(16, 16));
        std::vector<uint8_t> rgba(16 * 16 * 4, 128);
        bool ok = true;
        for (int k = 0; k < 200 && ok; ++k)
            ok = video.writeFrame(rgba.data());
        EXPECT_FALSE(ok && video.finish("", 0, 200));
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(VideoExport, SoundBeforeDemoTimeZeroIsSilenceOfTheRightLength)
{
    if (platform::findExecutable("ffmpeg").empty() || platform::findExecutable("ffprobe").empty())
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string out = scratch("early") + ".mkv";
    const std::string song = scratch("early") + ".wav";
    writeTestWav(song, 48000, 48000);
    VideoExport video(out, 25, 1);
    ASSERT_TRUE(video.start(16, 16));
    std::vector<uint8_t> rgba(16 * 16 * 4, 90);
    for (int k = 0; k < 50; ++k)
        ASSERT_TRUE(video.writeFrame(rgba.data()));
    // Two seconds from -1.5 s: 1.5 s of silence, then the song's first 0.5 s.
    ASSERT_TRUE(video.finish(song, -1500, 50));
    const std::string probe = "ffprobe -v error -of default=nw=1:nk=1 ";
    std::string quiet = commandOutput("ffmpeg -hide_banner -nostats -t 1.4 -i " + out +
                                      " -map 0:a -af volumedetect -f null - 2>&1 | grep -o 'max_volume: [-0-9.]*'");
    EXPECT_EQ(quiet, "max_volume: -91.0") << quiet;
    std::string loud = commandOutput("ffmpeg -hide_banner -nostats -ss 1.6 -i " + out +
                                     " -map 0:a -af volumedetect -f null - 2>&1 | grep -o 'max_volume: [-0-9.]*'");
    EXPECT_NE(loud, "max_volume: -91.0");
    EXPECT_FALSE(loud.empty());
    std::filesystem::remove(out);
    std::filesystem::remove(song);
}
