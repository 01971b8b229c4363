#include "ReleaseTexts.h"

namespace {

// How the production shows without options.
std::string showsAs(const OrganiserDefaults& defaults)
{
    const std::string size = std::to_string(defaults.width) + "x" + std::to_string(defaults.height);
    if (defaults.desktop)
        return "fullscreen at the monitor's own resolution, its " + size + " picture scaled with its aspect kept";
    return defaults.fullscreen ? "fullscreen at " + size : "in a " + size + " window";
}

// `text` broken into lines of at most `width` characters at its blanks.
std::string wrapped(const std::string& text, size_t width)
{
    std::string out, line;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(at, end - at);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return out + line + "\n";
}

} // namespace

std::string releaseStartScript(const ProductionNames& names)
{
    // No LD_LIBRARY_PATH: a ':' in a folder's name would split it. The
    // player and the libraries in lib/ carry run paths relative to their own
    // place instead (ReleaseFolder.cpp).
    return "#!/bin/sh\n"
           "# Starts " + names.title + ". Options go on to the player; ./start --help lists them.\n"
           "exec \"$(dirname \"$(readlink -f \"$0\")\")/bin/vplayer\" \"$@\"\n";
}

std::string releaseReadme(const ProductionNames& names, const OrganiserDefaults& defaults)
{
    return names.title + "\n" + std::string(names.title.size(), '=') + "\n\n"
           "A real-time demo for Linux (x86-64, OpenGL). Nothing to install: unpack\n"
           "the folder anywhere and run ./start (or double-click it).\n\n" +
           wrapped((defaults.launcher ? "Without options the launcher opens: pick the display and press Launch! "
                                        "It starts out "
                                      : "Without options it plays at once, ") +
                       showsAs(defaults) + ".",
                   76) +
           "\n"
           "Keys while it plays\n"
           "  Escape        end at once\n"
           "  Space         pause and resume\n"
           "  Alt+Enter     switch between window and fullscreen\n\n"
           "For organisers: options skip the launcher and play at once. Each changes\n"
           "only what it names; the rest stays as above.\n"
           "  ./start --fullscreen=desktop    fullscreen at the monitor's own resolution,\n"
           "                                  picture scaled with its aspect kept\n"
           "  ./start --resolution 1920x1080  the picture's size (add --windowed for a window)\n"
           "  ./start --windowed              in a window\n"
           "  ./start --no-music              without sound\n"
           "  ./start --help                  every option\n"
           "Add --print-args to see what the options choose, without playing.\n\n"
           "Needs: an X11 or XWayland desktop with OpenGL, ALSA, PulseAudio or PipeWire\n"
           "for the sound. The libraries a stock system lacks are in lib/.\n\n"
           "Licences\n"
           "The player is built with free software libraries, some of them shipped in\n"
           "lib/, others built into bin/vplayer. Their licence and copyright notices\n"
           "are in licences/; licences/README.txt says which file covers which library.\n";
}
