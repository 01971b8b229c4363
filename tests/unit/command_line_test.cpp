#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandAction parse(std::vector<const char*> args, RunOptions& o, std::string& error)
{
    return parseCommandLine(static_cast<int>(args.size()), args.data(), o, error);
}

} // namespace

TEST(CommandLine, NoArgumentsOpensTheLauncherAndPlayUsesItsDefaults)
{
    RunOptions o;
    std::string error;
    EXPECT_EQ(parse({}, o, error), CommandAction::Launcher);
    EXPECT_EQ(parse({"--play"}, o, error), CommandAction::Run);
    EXPECT_TRUE(o.music);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_EQ(o.samples, 0);
    EXPECT_EQ(o.anisotropy, 0.0f);
    EXPECT_FALSE(o.logging);
    EXPECT_FALSE(o.atiShadows);
    EXPECT_EQ(o.swapInterval, 1);
}

TEST(CommandLine, EveryOptionReachesItsField)
{
    RunOptions o;
    std::string error;
    ASSERT_EQ(parse({"--windowed", "--resolution", "1280x720", "--aa", "4", "--aniso", "8", "--no-music",
                     "--ati-shadows", "--log", "--data-dir", "prod", "--loose", "--no-vsync", "--check-gl",
                     "--render-target", "window"},
                    o, error),
              CommandAction::Run)
        << error;
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 720);
    EXPECT_EQ(o.samples, 4);
    EXPECT_EQ(o.anisotropy, 8.0f);
    EXPECT_FALSE(o.music);
    EXPECT_TRUE(o.atiShadows);
    EXPECT_TRUE(o.logging);
    EXPECT_TRUE(o.checkGL);
    EXPECT_EQ(o.dataDir, "prod");
    EXPECT_TRUE(o.loose);
    EXPECT_EQ(o.swapInterval, 0);
    ASSERT_TRUE(o.renderTargetGiven);
    EXPECT_EQ(o.renderTargetGiven->mode, RenderTargetSizing::Mode::Picture);
}

TEST(CommandLine, CaptureRunsWindowedAtItsOwnSize)
{
    RunOptions o;
    std::string error;
    ASSERT_EQ(parse({"--capture", "out", "--fps", "25", "--from", "1000", "--to", "3000", "--size", "320x240"}, o,
                    error),
              CommandAction::Run)
        << error;
    EXPECT_TRUE(o.capturing());
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.captureFps, 25);
    EXPECT_EQ(o.captureFromMs, 1000);
    EXPECT_EQ(o.captureToMs, 3000);
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 240);
}

TEST(CommandLine, RefusesWhatItCannotUse)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--resolution", "800"},   {"--resolution", "0x600"}, {"--resolution", "800x600x"},
        {"--aa", "four"},          {"--aa", "-1"},            {"--aniso", "x"},
        {"--fps", "25"},           {"--capture", "out"},      {"--capture", "out", "--fps", "0"},
        {"--capture", "o", "--fps", "25", "--from", "500", "--to", "100"},
        {"--size", "320x240"},     {"--data-dir"},            {"--what"},
        {"--render-target", "8"},  {"--render-target", "big"}, {"--render-target"},
    };
    for (const auto& args : bad) {
        RunOptions o;
        std::string error;
        EXPECT_EQ(parse(args, o, error), CommandAction::Error) << args[0];
        EXPECT_FALSE(error.empty());
    }
    RunOptions o;
    std::string error;
    EXPECT_EQ(parse({"--windowed", "--help"}, o, error), CommandAction::Help);
    EXPECT_EQ(parse({"--version"}, o, error), CommandAction::Version);
}

TEST(CommandLine, FitDesktopFullscreenAndVideoCapture)
{
    struct Case {
        std::vector<const char*> args;
        FitMode fit;
        bool fullscreen, desktop;
    } cases[] = {
        {{"--play"}, FitMode::Auto, true, false},
        {{"--fit"}, FitMode::On, true, false},
        {{"--fit", "off"}, FitMode::Off, true, false},
        {{"--fit=auto", "--windowed"}, FitMode::Auto, false, false},
        {{"--fit", "--windowed"}, FitMode::On, false, false}, // an option is no value
        {{"--fullscreen=desktop"}, FitMode::Auto, false, true},
        {{"--fullscreen=desktop", "--windowed"}, FitMode::Auto, false, false},
        {{"--fullscreen=desktop", "--fullscreen"}, FitMode::Auto, true, false},
    };
    for (const Case& c : cases) {
        RunOptions o;
        std::string error;
        ASSERT_EQ(parse(c.args, o, error), CommandAction::Run) << c.args[0] << ": " << error;
        EXPECT_EQ(o.fit, c.fit) << c.args[0];
        EXPECT_EQ(o.fullscreen, c.fullscreen) << c.args[0];
        EXPECT_EQ(o.desktopFullscreen, c.desktop) << c.args[0];
    }
    RunOptions o;
    std::string error;
    EXPECT_EQ(parse({"--fit", "sideways"}, o, error), CommandAction::Error);
    EXPECT_EQ(parse({"--fit=", "--play"}, o, error), CommandAction::Error);

    RunOptions v;
    ASSERT_EQ(parse({"--capture", "demo.mp4", "--fps", "60000/1001", "--no-music"}, v, error), CommandAction::Run)
        << error;
    EXPECT_EQ(v.captureFps, 60000);
    EXPECT_EQ(v.captureFpsDen, 1001);
    EXPECT_FALSE(v.captureAudio);
    RunOptions w;
    ASSERT_EQ(parse({"--capture", "demo.mp4", "--fps", "30"}, w, error), CommandAction::Run) << error;
    EXPECT_EQ(w.captureFpsDen, 1);
    EXPECT_TRUE(w.captureAudio);
    EXPECT_EQ(parse({"--capture", "demo.mp4", "--fps", "30/0"}, w, error), CommandAction::Error);
}
