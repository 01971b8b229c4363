#include "app/CommandLine.h"

#include "app/ArchivePassword.h"
#include "app/DemoArgs.h"
#include "app/PlayerApp.h"
#include "app/ProductionChecker.h"
#include "app/ProductionLocation.h"
#include "app/ProductionPaths.h"
#include "app/RunDemo.h"
#include "app/RunInterruption.h"
#include "app/VideoExport.h"
#include "gl/ErrorBox.h"
#include "platform/Interruption.h"
#include "platform/MessageBox.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#ifndef VP_VERSION
#define VP_VERSION "0.1.0"
#endif

namespace {

bool parseInt(const char* text, int& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < -2147483647L || v > 2147483647L)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool parseFloat(const char* text, float& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    float v = std::strtof(text, &end);
    if (*end != '\0')
        return false;
    value = v;
    return true;
}

bool parseSize(const char* text, int& width, int& height)
{
    if (!text)
        return false;
    const char* x = std::strchr(text, 'x');
    if (!x)
        return false;
    std::string w(text, x);
    return parseInt(w.c_str(), width) && parseInt(x + 1, height) && width > 0 && height > 0 &&
           width <= 16384 && height <= 16384;
}

bool parseFitMode(const std::string& text, FitMode& mode)
{
    if (text == "on")
        mode = FitMode::On;
    else if (text == "off")
        mode = FitMode::Off;
    else if (text == "auto")
        mode = FitMode::Auto;
    else
        return false;
    return true;
}

bool parseLoop(const char* text, int& from, int& to)
{
    const char* colon = std::strchr(text, ':');
    if (!colon)
        return false;
    std::string first(text, colon);
    return parseInt(first.c_str(), from) && parseInt(colon + 1, to) && from >= 0 && to > from;
}

} // namespace

const char* commandLineHelp()
{
    return "usage: vplayer [options]\n"
           "Without options the launcher dialog opens; any option skips it. The display\n"
           "options left out keep the production's own (production.ini's resolution and\n"
           "fullscreen, else fullscreen at 800x600).\n"
           "  --play                 play with the production's defaults\n"
           "  --windowed             run in a window\n"
           "  --fullscreen           run fullscreen with a mode change to the resolution\n"
           "  --fullscreen=desktop   fullscreen at the monitor's own resolution, the picture\n"
           "                         scaled into it with its aspect kept\n"
           "  --fit [on|off|auto]    draw at the demo's resolution off screen and scale it into\n"
           "                         the window with black bars (auto, the default: when the\n"
           "                         window's size differs; off: draw at the window's size)\n"
           "  --resolution WxH       the picture's size: the window's, the display mode's, or\n"
           "                         the picture fitted into the desktop\n"
           "  --aa N                 multisample count\n"
           "  --aniso N              maximum texture anisotropy\n"
           "  --no-music             play without the soundtrack\n"
           "  --ati-shadows          the shadow path for cards without depth render textures\n"
           "  --log                  write the five log files (vp_log_*.txt, vp_profiling.txt)\n"
           "  --data-dir DIR         change to DIR first (data paths stay relative); without it\n"
           "                         the production here plays, else the one installed with\n"
           "                         the player (share/vplayer)\n"
           "  --loose                read data/ from disk instead of data.vpd\n"
           "  --title TEXT           the window's title (default Quorvantix)\n"
           "  --music FILE           the soundtrack beside the data (default velmorprocess-zqfinal.ogg)\n"
           "  --archive FILE         the data archive (default data.vpd)\n"
           "  --password TEXT        the archive's password (default tavex)\n"
           "                         A file production.ini in the production's folder may name\n"
           "                         these four too, one 'key = value' a line (title, music,\n"
           "                         archive, password); the options win over the file.\n"
           "  --render-target SIZE|window\n"
           "                         the size the 3D scenes are drawn at before they are laid\n"
           "                         over the picture: by default 1024x1024, grown to the\n"
           "                         picture where it is larger; a side in pixels (1024 as\n"
           "                         always, 2048 for sharper video) or window (the picture's\n"
           "                         own size, the fastest); production.ini key render-target\n"
           "  --no-vsync             do not wait for the vertical blank\n"
           "  --start MS             start at demo time MS (with the state the script has by then);\n"
           "                         Ctrl+Shift and Ctrl+Home start again at MS too\n"
           "  --clock music|timer    demo time follows the music (the default) or a free-running timer\n"
           "  --audio-driver NAME    use this SDL audio driver only (pipewire, pulseaudio, alsa, disk,\n"
           "                         ...; dummy plays silently and keeps the music's clock)\n"
           "  --print-args           print the eight run arguments on one line and exit\n"
           "                         instead of playing (alone: after the launcher dialog);\n"
           "                         desktop=1 at the end for desktop fullscreen\n"
           "  --check-gl             check the GL error state after every effect (debugging)\n"
           "  --capture DIR --fps N [--from MS] [--to MS] [--size WxH]\n"
           "                         render frames at fixed demo-time steps to DIR as PNG files,\n"
           "                         and the soundtrack they cover as DIR/audio.wav\n"
           "  --capture OUT.mp4 --fps N[/D] ...\n"
           "                         the same as a video (H.264 and AAC, through ffmpeg); also\n"
           "                         .mkv .mov .m4v .avi .ts; N/D for rates like 60000/1001\n"
           "  --capture /dev/null --fps N ...\n"
           "                         draw the frames as a capture does, without reading them\n"
           "                         back or writing anything: what drawing alone costs\n"
           "  --check                check the production without playing it: the script, its\n"
           "                         effects, layers and signals, every file it names and the\n"
           "                         soundtrack (not with --no-music); prints\n"
           "                         FILE:LINE: error|warning: ... and exits 1 on errors\n"
           "  --watch                with --loose: rebuild when the script or a file under data/\n"
           "                         changes, at the demo time shown; a broken change shows its\n"
           "                         error and the last good production plays on\n"
           "  --loop FROM:TO         play demo time FROM..TO ms over and over, music included\n"
           "  --help, --version\n"
           "Keys while playing: Escape quits, Ctrl+Shift restarts the script and Ctrl+Home\n"
           "rebuilds every effect and restarts (both at --start MS when given, else at the\n"
           "script's demo start), Space pauses and resumes, Page Up / Page Down\n"
           "seek 5 s back / ahead, F1 shows the overlay (time, frame times, effects),\n"
           "F12 writes screenshot_NNNN.png beside the data, Alt+Enter toggles desktop\n"
           "fullscreen, [ and ] set the loop's start and end at the time shown and\n"
           "\\ clears it.\n";
}

CommandAction parseCommandLine(int argc, const char* const* argv, RunOptions& o, std::string& error)
{
    if (argc <= 0)
        return CommandAction::Launcher;
    bool fpsGiven = false;
    bool captureOnly = false;
    bool launcher = true; // only --print-args so far: the dialog still opens
    for (int i = 0; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) {
                error = "option " + a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        // A file or folder name: an option after it is a forgotten value,
        // never a name ("./-x" names a file that starts with a dash).
        auto path = [&](const char*& out) {
            if (!value(out))
                return false;
            if (out[0] == '-') {
                error = "option " + a + " needs a file or folder, not '" + out + "'";
                return false;
            }
            return true;
        };
        // A free text: only a long option is taken for a forgotten value.
        auto text = [&](std::optional<std::string>& out) {
            const char* t = nullptr;
            if (!value(t))
                return false;
            if (std::strncmp(t, "--", 2) == 0) {
                error = "option " + a + " needs a value, not '" + t + "'";
                return false;
            }
            out = t;
            return true;
        };
        const char* v = nullptr;
        if (a == "--help" || a == "-h")
            return CommandAction::Help;
        if (a == "--version")
            return CommandAction::Version;
        if (a == "--print-args") {
            o.printArgs = true;
            continue;
        }
        launcher = false;
        if (a == "--play") {
        } else if (a == "--windowed") {
            o.fullscreen = false;
            o.desktopFullscreen = false;
            o.displayModeGiven = true;
        } else if (a == "--fullscreen") {
            o.fullscreen = true;
            o.desktopFullscreen = false;
            o.displayModeGiven = true;
        } else if (a == "--fullscreen=desktop") {
            o.fullscreen = false;
            o.desktopFullscreen = true;
            o.displayModeGiven = true;
        } else if (a == "--fit" || a.rfind("--fit=", 0) == 0) {
            // An optional value: --fit alone turns it on.
            std::string mode = a.size() > 5 ? a.substr(6) : "on";
            if (a.size() == 5 && i + 1 < argc && argv[i + 1][0] != '-')
                mode = argv[++i];
            if (!parseFitMode(mode, o.fit)) {
                error = "bad --fit '" + mode + "' (expected on, off or auto)";
                return CommandAction::Error;
            }
        } else if (a == "--no-music") {
            o.music = false;
            o.captureAudio = false;
        } else if (a == "--ati-shadows") {
            o.atiShadows = true;
        } else if (a == "--log") {
            o.logging = true;
        } else if (a == "--loose") {
            o.loose = true;
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--watch") {
            o.watch = true;
        } else if (a == "--loop") {
            if (!value(v))
                return CommandAction::Error;
            if (!parseLoop(v, o.loopFromMs, o.loopToMs)) {
                error = "bad loop '" + std::string(v) + "' (expected FROM:TO in ms, FROM before TO)";
                return CommandAction::Error;
            }
        } else if (a == "--no-vsync") {
            o.swapInterval = 0;
        } else if (a == "--check-gl") {
            o.checkGL = true;
        } else if (a == "--resolution") {
            if (!value(v))
                return CommandAction::Error;
            if (!parseSize(v, o.width, o.height)) {
                error = "bad resolution '" + std::string(v) + "' (expected WxH)";
                return CommandAction::Error;
            }
            o.resolutionGiven = true;
        } else if (a == "--aa") {
            if (!value(v))
                return CommandAction::Error;
            if (!parseInt(v, o.samples) || o.samples < 0 || o.samples > 32) {
                error = "bad multisample count '" + std::string(v) + "'";
                return CommandAction::Error;
            }
        } else if (a == "--aniso") {
            if (!value(v))
                return CommandAction::Error;
            if (!parseFloat(v, o.anisotropy) || o.anisotropy < 0.0f) {
                error = "bad anisotropy '" + std::string(v) + "'";
                return CommandAction::Error;
            }
        } else if (a == "--data-dir") {
            if (!path(v))
                return CommandAction::Error;
            o.dataDir = v;
        } else if (a == "--start") {
            if (!value(v))
                return CommandAction::Error;
            if (!parseInt(v, o.startMs) || o.startMs < 0) {
                error = "bad start time '" + std::string(v) + "' (milliseconds)";
                return CommandAction::Error;
            }
        } else if (a == "--clock") {
            if (!value(v))
                return CommandAction::Error;
            if (std::strcmp(v, "music") != 0 && std::strcmp(v, "timer") != 0) {
                error = "bad clock '" + std::string(v) + "' (music or timer)";
                return CommandAction::Error;
            }
            o.clockFromMusic = std::strcmp(v, "music") == 0;
        } else if (a == "--audio-driver") {
            if (!value(v))
                return CommandAction::Error;
            o.audioDriver = v;
        } else if (a == "--capture") {
            if (!path(v))
                return CommandAction::Error;
            o.captureDir = v;
            // Nothing is written, the soundtrack neither.
            if (o.captureDir == kDiscardedCapture)
                o.captureAudio = false;
        } else if (a == "--fps" || a == "--from" || a == "--to") {
            captureOnly = true;
            if (!value(v))
                return CommandAction::Error;
            int n = 0;
            if (a == "--fps") {
                if (!parseFrameRate(v, o.captureFps, o.captureFpsDen)) {
                    error = "--fps must be N or N/D (60000/1001), at most 1000";
                    return CommandAction::Error;
                }
                fpsGiven = true;
            } else if (!parseInt(v, n)) {
                error = "bad number '" + std::string(v) + "' for " + a;
                return CommandAction::Error;
            } else if (a == "--from") {
                o.captureFromMs = n;
                o.captureFromGiven = true;
            } else {
                o.captureToMs = n;
            }
        } else if (a == "--title" || a == "--password") {
            if (!text(a == "--title" ? o.titleGiven : o.passwordGiven))
                return CommandAction::Error;
            if (a == "--password" && !passwordFits(*o.passwordGiven)) {
                error = "--password: " + passwordTooLong();
                return CommandAction::Error;
            }
        } else if (a == "--music" || a == "--archive") {
            if (!path(v))
                return CommandAction::Error;
            (a == "--music" ? o.musicGiven : o.archiveGiven) = v;
        } else if (a == "--render-target") {
            if (!value(v))
                return CommandAction::Error;
            RenderTargetSizing sizing;
            if (!parseRenderTargetSizing(v, sizing)) {
                error = "bad --render-target '" + std::string(v) + "' (a side in pixels, 16 to 16384, or window)";
                return CommandAction::Error;
            }
            o.renderTargetGiven = sizing;
        } else if (a == "--size") {
            captureOnly = true;
            if (!value(v))
                return CommandAction::Error;
            if (!parseSize(v, o.captureWidth, o.captureHeight)) {
                error = "bad size '" + std::string(v) + "' (expected WxH)";
                return CommandAction::Error;
            }
        } else {
            error = "unknown option '" + a + "' (try --help)";
            return CommandAction::Error;
        }
    }
    if (launcher)
        return CommandAction::Launcher;
    // A loop starts playback at its start unless --start says otherwise.
    if (o.loopFromMs >= 0 && o.startMs < 0)
        o.startMs = o.loopFromMs;
    if (o.watch && !o.loose) {
        error = "--watch needs --loose (an archive is not edited in place)";
        return CommandAction::Error;
    }
    if (o.watch && o.capturing()) {
        error = "--watch and --capture do not go together";
        return CommandAction::Error;
    }
    if (captureOnly && !o.capturing()) {
        error = "--fps, --from, --to and --size belong to --capture";
        return CommandAction::Error;
    }
    if (o.capturing()) {
        // A start time is where the capture starts unless --from says otherwise.
        if (o.startMs >= 0 && !o.captureFromGiven) {
            o.captureFromMs = o.startMs;
            o.captureFromGiven = true;
        }
        if (!fpsGiven) {
            error = "--capture needs --fps N";
            return CommandAction::Error;
        }
        if (o.captureFromGiven && o.captureToMs >= 0 && o.captureToMs < o.captureFromMs) {
            error = "--to lies before --from";
            return CommandAction::Error;
        }
        // Capture renders in a hidden window of its own size, and writes the
        // soundtrack segment to a file instead of playing it.
        o.fullscreen = false;
        o.desktopFullscreen = false;
        o.music = false;
        if (o.captureWidth > 0) {
            o.width = o.captureWidth;
            o.height = o.captureHeight;
            o.resolutionGiven = true;
        }
    }
    return CommandAction::Run;
}

namespace {

// Changes to the folder the run plays: --data-dir's, else the working folder
// or the installed production (ProductionLocation.h); a release's player
// plays its own production wherever it is started. Playing the installed
// one, a relative capture path, the screenshots and the logs stay in the folder the
// player was started in, since the installed folder is usually not writable.
bool enterProduction(RunOptions& o)
{
    std::string folder = o.dataDir;
    if (folder.empty()) {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd))
            return true;
        const std::string archive = o.archiveGiven ? *o.archiveGiven : ProductionNames().archive;
        const std::string installed = installedProductionFolder(ownExecutable());
        const bool own = o.ownProductionOnly && !installed.empty() && holdsProduction(installed, archive, o.loose);
        folder = own ? installed : chooseProductionFolder(cwd, installed, archive, o.loose);
        // Nothing here and the installed production out of reach: say why,
        // before the usual report of what the working folder lacks.
        const std::string why = folder == cwd && !installed.empty() && !holdsProduction(cwd, archive, o.loose)
                                    ? unreadableProduction(installed, archive, o.loose)
                                    : std::string();
        if (!why.empty())
            std::fprintf(stderr, "vplayer: cannot read the production installed in %s: %s\n", installed.c_str(),
                         why.c_str());
        if (folder != cwd) {
            if (o.capturing() && o.captureDir[0] != '/')
                o.captureDir = std::string(cwd) + "/" + o.captureDir;
            o.screenshotFolder = cwd;
            o.logFolder = cwd;
        }
    }
    if (chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "vplayer: cannot change to '%s': %s\n", folder.c_str(), std::strerror(errno));
        return false;
    }
    char here[PATH_MAX];
    o.productionFolder = getcwd(here, sizeof here) ? here : folder;
    return true;
}

// The production's names: its production.ini in the working folder (the
// production's), then the command line's. A faulty file stops the run
// before anything opens.
bool nameProduction(RunOptions& o)
{
    std::string error;
    if (!readProductionFile(ProductionNames::kFileName, o.names, error)) {
        errorBox(error.c_str(), true);
        return false;
    }
    if (o.titleGiven)
        o.names.title = *o.titleGiven;
    if (o.musicGiven)
        o.names.music = *o.musicGiven;
    if (o.archiveGiven)
        o.names.archive = *o.archiveGiven;
    if (o.passwordGiven)
        o.names.password = *o.passwordGiven;
    if (o.renderTargetGiven)
        o.names.renderTarget = *o.renderTargetGiven;
    return true;
}

// The production a run plays: its folder entered, its names and its
// defaults read (production.ini). 0, or the exit code to end with.
int openProduction(RunOptions& o, OrganiserDefaults& defaults)
{
    if (!enterProduction(o))
        return 2;
    if (!nameProduction(o))
        return 1;
    std::string error;
    if (!organiserDefaults(o.names, defaults, error)) {
        errorBox(error.c_str(), true);
        return 1;
    }
    return 0;
}

// A wrong password would fail every file of the archive without naming
// itself: said first, and fatal, before anything is read.
void checkArchivePassword(const RunOptions& o)
{
    if (o.loose)
        return;
    // Only production.ini can have changed the password without the option.
    PasswordSource source = PasswordSource::Default;
    if (o.passwordGiven)
        source = PasswordSource::Option;
    else if (o.names.password != ProductionNames().password)
        source = PasswordSource::ProductionFile;
    const std::string problem = archivePasswordProblem(o.names.archive, kScriptPath, o.names.password, source);
    if (!problem.empty())
        errorBox(problem.c_str(), true);
}

// Where every run starts, from the launcher or from the command line.
int startRun(const DemoArgs& args)
{
    if (currentRunOptions().printArgs) {
        // Desktop fullscreen is no mode change (fullscreen=0) and no window
        // either: said apart, so that an organiser sees what they will get.
        std::printf("%s%s\n", formatDemoArgs(args).c_str(), currentRunOptions().desktopFullscreen ? " desktop=1" : "");
        return 0;
    }
    checkArchivePassword(currentRunOptions());
    return runDemo(args.music, args.fullscreen, args.width, args.height, args.samples, args.anisotropy,
                   args.logging, args.atiShadows);
}

int playerMainUninterrupted(int argc, char** argv)
{
    RunOptions& options = currentRunOptions();
    std::string error;
    CommandAction action = parseCommandLine(argc - 1, argv + 1, options, error);
    switch (action) {
    case CommandAction::Help:
        std::fputs(commandLineHelp(), stdout);
        return 0;
    case CommandAction::Version:
        std::printf("vplayer %s\n", VP_VERSION);
        return 0;
    case CommandAction::Error:
        std::fprintf(stderr, "vplayer: %s\nusage: vplayer [options] (vplayer --help lists them)\n", error.c_str());
        return 2;
    case CommandAction::Launcher: {
        if (!displayNamed()) {
            std::fprintf(stderr, "vplayer: no display to show the launcher dialog on (DISPLAY is not set); "
                                 "options such as --play skip the dialog\n");
            return 1;
        }
        OrganiserDefaults defaults;
        if (const int rc = openProduction(options, defaults))
            return rc;
        if (!defaults.launcher) {
            options.desktopFullscreen = defaults.desktop;
            return startRun(defaults.args());
        }
        PlayerApp app(startRun);
        app.defaults = defaults;
        app.initInstance();
        return 0;
    }
    case CommandAction::Run:
        break;
    }
    // The check is for a shell or an editor: messages, never boxes.
    if (options.check)
        setenv("VP_NO_DIALOGS", "1", 1);
    OrganiserDefaults defaults;
    if (const int rc = openProduction(options, defaults))
        return rc;
    defaults.applyTo(options);
    if (options.check) {
        checkArchivePassword(options);
        return runProductionCheck(options.loose, options.names, options.music);
    }
    // Capture draws off screen without a display; playback needs a window to
    // be seen in, and SDL would otherwise play on invisibly off screen. A
    // driver chosen by hand (a console's kmsdrm) is taken at its word.
    if (!options.capturing() && !options.printArgs && !displayNamed() && !std::getenv("SDL_VIDEODRIVER")) {
        std::fprintf(stderr, "vplayer: no display to play on (DISPLAY is not set); --capture renders frames "
                             "or a video without one\n");
        return 1;
    }
    DemoArgs args;
    args.music = options.music;
    args.fullscreen = options.fullscreen;
    args.width = options.width;
    args.height = options.height;
    args.samples = options.samples;
    args.anisotropy = options.anisotropy;
    args.logging = options.logging;
    args.atiShadows = options.atiShadows;
    return startRun(args);
}

} // namespace

int playerMain(int argc, char** argv)
{
    platform::installInterruptionHandlers();
    const int code = playerMainUninterrupted(argc, argv);
    // A run says itself where it stopped; the launcher and the rest only that they did.
    reportInterruption(-1);
    // Whatever the run made of it, a signal is not a success.
    return platform::exitCodeAfterInterruption(code);
}
