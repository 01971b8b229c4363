#include "app/DemoArgs.h"

#include <cstdio>

DemoArgs demoArgsFromChoices(const LauncherChoices& choices)
{
    DemoArgs args;
    if (choices.resolution == "640x480") {
        args.width = 640;
        args.height = 480;
    } else if (choices.resolution == "1024x768") {
        args.width = 1024;
        args.height = 768;
    } else {
        args.width = 800;
        args.height = 600;
    }

    if (choices.antialiasing == "2x")
        args.samples = 2;
    else if (choices.antialiasing == "4x")
        args.samples = 4;
    else
        args.samples = 0;

    if (choices.filtering == "2x")
        args.anisotropy = 2.0f;
    else if (choices.filtering == "4x")
        args.anisotropy = 4.0f;
    else if (choices.filtering == "8x")
        args.anisotropy = 8.0f;
    else
        args.anisotropy = 0.0f;

    args.fullscreen = choices.fullscreen != 0;
    args.music = choices.music != 0;
    args.atiShadows = choices.atiShadows != 0;
    args.logging = false;
    return args;
}

std::string formatDemoArgs(const DemoArgs& args)
{
    char line[160];
    std::snprintf(line, sizeof line,
                  "music=%d fullscreen=%d width=%d height=%d samples=%d anisotropy=%g logging=%d atiShadows=%d",
                  args.music ? 1 : 0, args.fullscreen ? 1 : 0, args.width, args.height, args.samples,
                  static_cast<double>(args.anisotropy), args.logging ? 1 : 0, args.atiShadows ? 1 : 0);
    return line;
}
