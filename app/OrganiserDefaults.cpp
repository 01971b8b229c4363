#include "app/OrganiserDefaults.h"

#include <cstdio>

namespace {

bool parseSize(const std::string& text, int& width, int& height)
{
    int w = 0, h = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &end) != 2 || w < 64 || h < 64 || w > 16384 || h > 16384)
        return false;
    width = w;
    height = h;
    return true;
}

} // namespace

std::string OrganiserDefaults::resolutionText() const
{
    return desktop ? "desktop" : std::to_string(width) + "x" + std::to_string(height);
}

DemoArgs OrganiserDefaults::argsFromChoices(const LauncherChoices& choices, bool& desktopChosen) const
{
    DemoArgs args = demoArgsFromChoices(choices);
    desktopChosen = false;
    int w = 0, h = 0;
    if (choices.resolution == "desktop") {
        // The picture keeps the production's size; the monitor keeps its mode.
        args.width = width;
        args.height = height;
        desktopChosen = args.fullscreen;
        args.fullscreen = false;
    } else if (choices.resolution == resolutionText() && parseSize(choices.resolution, w, h)) {
        args.width = w;
        args.height = h;
    }
    return args;
}

DemoArgs OrganiserDefaults::args() const
{
    DemoArgs args;
    args.fullscreen = fullscreen && !desktop;
    args.width = width;
    args.height = height;
    return args;
}

void OrganiserDefaults::applyTo(RunOptions& options) const
{
    if (!options.resolutionGiven) {
        options.width = width;
        options.height = height;
    }
    // A capture draws in a hidden window of its own, never fullscreen.
    if (!options.displayModeGiven && !options.capturing()) {
        options.fullscreen = fullscreen && !desktop;
        options.desktopFullscreen = desktop;
    }
}

bool organiserDefaults(const ProductionNames& names, OrganiserDefaults& out, std::string& error)
{
    out = OrganiserDefaults();
    const std::string where = std::string(ProductionNames::kFileName) + ": ";
    if (names.launcher == "no")
        out.launcher = false;
    else if (!names.launcher.empty() && names.launcher != "yes") {
        error = where + "launcher is yes or no, not '" + names.launcher + "'";
        return false;
    }
    if (names.fullscreen == "no")
        out.fullscreen = false;
    else if (names.fullscreen == "desktop")
        out.desktop = true;
    else if (!names.fullscreen.empty() && names.fullscreen != "yes") {
        error = where + "fullscreen is yes, no or desktop, not '" + names.fullscreen + "'";
        return false;
    }
    if (!names.resolution.empty() && !parseSize(names.resolution, out.width, out.height)) {
        error = where + "resolution is WIDTHxHEIGHT (such as 1280x720), not '" + names.resolution + "'";
        return false;
    }
    return true;
}
