#pragma once
// What a production starts with when it is started without options: its
// production.ini may set the launcher's defaults and may do without the
// launcher, so that a party's organisers (or anyone double-clicking a
// release) get the show the group wants.
//   launcher   = yes | no            no: play at once with the defaults
//   fullscreen = yes | no | desktop  desktop: cover the monitor at its own
//                                    resolution, the picture fitted with its
//                                    aspect kept (what vpdpack release sets
//                                    unless the production says otherwise)
//   resolution = WxH                 the picture's size
#include "app/DemoArgs.h"
#include "app/ProductionNames.h"
#include "app/RunOptions.h"

#include <string>

struct OrganiserDefaults {
    bool launcher = true;
    bool fullscreen = true;
    bool desktop = false; // fullscreen at the desktop's own resolution
    int width = 800;
    int height = 600;

    // The launcher's default for its resolution field: "desktop" or "WxH".
    std::string resolutionText() const;
    // The run's arguments from the launcher's choices, which start out at
    // these defaults: "desktop" and a WxH the launcher does not list are
    // understood here, everything else as the launcher always does.
    DemoArgs argsFromChoices(const LauncherChoices& choices, bool& desktopChosen) const;
    // The run's arguments without the launcher.
    DemoArgs args() const;
    // The command line's run: what its options name stays theirs, the rest
    // of the display (resolution, fullscreen or window or desktop) is the
    // production's, so that --no-music keeps a 16:9 production at 16:9.
    void applyTo(RunOptions& options) const;
};

// Reads the defaults from the production's names; false with the reason in
// `error` for a value it does not understand.
bool organiserDefaults(const ProductionNames& names, OrganiserDefaults& out, std::string& error);
