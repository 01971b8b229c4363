#pragma once
// The launcher: a modal dialog offering resolution, antialiasing, texture
// filtering, fullscreen, music and ATI shadows, closed with "Launch!" or
// "Escape pod". Nothing persists: every run starts from the defaults below.
#include "app/DemoArgs.h"

#include <string>

// Control ids of the dialog resource.
enum LauncherControlId {
    kIdLaunch = 1,      // OK
    kIdEscapePod = 2,   // Cancel
    kIdFullscreen = 1000,
    kIdResolution = 1001,
    kIdAntialiasing = 1002,
    kIdFiltering = 1003,
    kIdMusic = 1005,
    kIdAtiShadows = 1006,
};

class LauncherDialog {
public:
    // Shows the dialog and returns the id of the button that closed it:
    // kIdLaunch, or kIdEscapePod (also for Escape and the close box).
    int doModal();

    LauncherChoices choices() const;

    // The dialog's title: the production's (ProductionNames::launcherCaption).
    std::string caption = "Velmor Process - Quorvantix";
    // The production's folder, shown under the options; empty: not shown.
    std::string productionFolder;
    // The resolution selected at first: one of the list, or a text of the
    // production's own ("desktop", "1280x720") added after the list; empty:
    // the launcher's usual 800x600.
    std::string defaultResolution;

    // Bound to the controls by data exchange: the combos by the text of their
    // edit fields, the check boxes by their state.
    std::string resolutionText; // empty until the dialog selects its default
    std::string antialiasingText;
    std::string filteringText;
    int fullscreen = 1;
    int music = 1;
    int atiShadows = 0;
};
