// The launcher's rule from dialog choices to the demo run's arguments.
#include "app/DemoArgs.h"
#include "app/AppIcon.h"

#include <gtest/gtest.h>

namespace {

struct ConversionCase {
    const char* resolution;
    const char* antialiasing;
    const char* filtering;
    int width, height, samples;
    float anisotropy;
};

// Only the exact list texts count; anything typed falls back.
const ConversionCase kCases[] = {
    {"800x600", "off", "off", 800, 600, 0, 0.0f},    // the dialog's defaults
    {"640x480", "2x", "2x", 640, 480, 2, 2.0f},
    {"1024x768", "4x", "4x", 1024, 768, 4, 4.0f},
    {"1280x1024", "8x", "8x", 800, 600, 0, 8.0f},    // typed: 8x only counts for filtering
    {"", "", "", 800, 600, 0, 0.0f},                  // emptied fields
    {"640X480", "2X", "4X", 800, 600, 0, 0.0f},      // comparisons are case-sensitive
    {" 640x480", "4x ", "16x", 800, 600, 0, 0.0f},   // and exact
    {"1024x768\n", "on", "off", 800, 600, 0, 0.0f},
};

TEST(LauncherConversion, ListTextsGiveTheirValuesAndOtherTextsFallBack)
{
    for (const ConversionCase& c : kCases) {
        LauncherChoices choices;
        choices.resolution = c.resolution;
        choices.antialiasing = c.antialiasing;
        choices.filtering = c.filtering;
        choices.fullscreen = 1;
        choices.music = 1;
        const DemoArgs args = demoArgsFromChoices(choices);
        SCOPED_TRACE(std::string(c.resolution) + " / " + c.antialiasing + " / " + c.filtering);
        EXPECT_EQ(args.width, c.width);
        EXPECT_EQ(args.height, c.height);
        EXPECT_EQ(args.samples, c.samples);
        EXPECT_EQ(args.anisotropy, c.anisotropy);
    }
}

TEST(LauncherConversion, CheckStatesAndLogging)
{
    struct Case {
        int fullscreen, music, atiShadows;
        bool expectFullscreen, expectMusic, expectAti;
    };
    const Case cases[] = {
        {1, 1, 0, true, true, false}, // defaults
        {0, 0, 1, false, false, true},
        {2, -1, 1, true, true, true}, // any non-zero state is on
    };
    for (const Case& c : cases) {
        LauncherChoices choices;
        choices.resolution = "800x600";
        choices.fullscreen = c.fullscreen;
        choices.music = c.music;
        choices.atiShadows = c.atiShadows;
        const DemoArgs args = demoArgsFromChoices(choices);
        EXPECT_EQ(args.fullscreen, c.expectFullscreen);
        EXPECT_EQ(args.music, c.expectMusic);
        EXPECT_EQ(args.atiShadows, c.expectAti);
        EXPECT_FALSE(args.logging); // the launcher offers no logging
    }
}

TEST(LauncherConversion, PrintedLineIsStable)
{
    LauncherChoices defaults;
    defaults.resolution = "800x600";
    defaults.antialiasing = "off";
    defaults.filtering = "off";
    defaults.fullscreen = 1;
    defaults.music = 1;
    EXPECT_EQ(formatDemoArgs(demoArgsFromChoices(defaults)),
              "music=1 fullscreen=1 width=800 height=600 samples=0 anisotropy=0 logging=0 atiShadows=0");

    DemoArgs args;
    args.music = false;
    args.fullscreen = false;
    args.width = 1280;
    args.height = 720;
    args.samples = 4;
    args.anisotropy = 2.5f;
    args.logging = true;
    args.atiShadows = true;
    EXPECT_EQ(formatDemoArgs(args),
              "music=0 fullscreen=0 width=1280 height=720 samples=4 anisotropy=2.5 logging=1 atiShadows=1");
}

TEST(AppIcon, OpaqueTileWithTransparentCornersAtEverySize)
{
    for (int size : {16, 32, 48}) {
        const std::vector<unsigned char> icon = drawAppIcon(size);
        ASSERT_EQ(icon.size(), static_cast<size_t>(size * size * 4));
        EXPECT_LT(icon[3], 64) << "corner of the rounded tile is see-through";
        const size_t centre = (static_cast<size_t>(size / 2) * size + size / 2) * 4;
        EXPECT_EQ(icon[centre + 3], 255);
        // Not a flat tile: the ring and the tail show in several colours.
        int bright = 0;
        for (size_t i = 0; i < icon.size(); i += 4)
            bright += icon[i + 1] > 180 && icon[i + 3] == 255;
        EXPECT_GT(bright, size * size / 20);
    }
}

} // namespace

#include "app/CommandLine.h"

TEST(CommandLinePrintArgs, AloneKeepsTheLauncherWithAnyOtherOptionItSkipsIt)
{
    const char* alone[] = {"--print-args"};
    RunOptions o;
    std::string error;
    EXPECT_EQ(parseCommandLine(1, alone, o, error), CommandAction::Launcher);
    EXPECT_TRUE(o.printArgs);

    const char* withOptions[] = {"--print-args", "--windowed", "--no-music"};
    RunOptions p;
    EXPECT_EQ(parseCommandLine(3, withOptions, p, error), CommandAction::Run);
    EXPECT_TRUE(p.printArgs);
    EXPECT_FALSE(p.fullscreen);
    EXPECT_FALSE(p.music);
}
