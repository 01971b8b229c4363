#pragma once
#include "app/FitMode.h"
#include "app/ProductionNames.h"

#include <optional>

#include <string>

// Everything the command line can choose. The first eight fields are the
// arguments of runDemo, with the launcher's defaults; the rest are this
// player's own additions for shells, tests and authoring.
struct RunOptions {
    bool music = true;
    bool fullscreen = true;
    int width = 800;
    int height = 600;
    int samples = 0;
    float anisotropy = 0.0f;
    bool logging = false;
    bool atiShadows = false;

    bool loose = false;     // data files from data/ on disk instead of data.vpd
    std::string dataDir;    // change to this folder first
    bool ownProductionOnly = false; // the release player: without --data-dir, the production beside it
                                    // (share/vplayer) wherever it is started, when there is one
    std::string productionFolder; // the folder the run plays, once chosen (the launcher shows it)
    std::string screenshotFolder = "."; // F12's pictures: beside the data, unless that is the installed production
    std::string logFolder = ".";        // --log's files: likewise
    int swapInterval = 1;   // 0 with --no-vsync
    bool printArgs = false; // print the eight run arguments instead of running
    bool checkGL = false;   // --check-gl: the GL error state after every effect, fatal
    FitMode fit = FitMode::Auto;   // --fit [on|off|auto]
    bool desktopFullscreen = false; // --fullscreen=desktop: the monitor's own resolution, picture fitted
    // What the command line named of the display; the rest comes from the
    // production's defaults (OrganiserDefaults::applyTo).
    bool resolutionGiven = false;  // --resolution, or a capture's --size
    bool displayModeGiven = false; // --windowed, --fullscreen, --fullscreen=desktop

    // Capture: fixed-step frames written as PNG files (and the soundtrack segment).
    std::string captureDir; // empty: no capture; a video file name (out.mp4): encoded with ffmpeg;
                            // kDiscardedCapture: drawn only
    int captureFps = 0;     // frames per captureFpsDen seconds
    int captureFpsDen = 1;
    int captureFromMs = 0;
    bool captureFromGiven = false; // otherwise capture starts at the demo start
    int captureToMs = -1;   // -1: until the end-of-demo event
    int captureWidth = 0;   // 0: the run's width and height
    int captureHeight = 0;
    bool captureAudio = true; // the soundtrack segment beside the frames; off with --no-music

    // Playback: where it starts, what demo time follows, which sound driver.
    int startMs = -1;       // --start: -1 for the demo start
    bool clockFromMusic = true; // false with --clock timer (the free-running timer)
    std::string audioDriver; // --audio-driver: empty to try the drivers SDL offers

    // The production's names: production.ini over the defaults, then these
    // from the command line over both (unset: not given).
    ProductionNames names;
    std::optional<std::string> titleGiven, musicGiven, archiveGiven, passwordGiven;
    std::optional<RenderTargetSizing> renderTargetGiven; // --render-target

    // Authoring: the production checked without playing it, the data watched
    // and rebuilt at the time shown, a section played over and over.
    bool check = false;     // --check
    bool watch = false;     // --watch (with --loose)
    int loopFromMs = -1;    // --loop FROM:TO; -1: no loop
    int loopToMs = -1;

    bool capturing() const { return !captureDir.empty(); }
};

// --capture /dev/null: every frame drawn as a capture draws it, none read
// back or written (the baseline of what capture costs).
inline constexpr const char* kDiscardedCapture = "/dev/null";

// The extra options of the run in progress (set by the command line before runDemo).
RunOptions& currentRunOptions();
