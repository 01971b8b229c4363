#pragma once
// The eight arguments of a demo run, in runDemo's order, and the launcher's
// rule for making them from the dialog's choices.
#include <string>

struct DemoArgs {
    bool music = true;
    bool fullscreen = true;
    int width = 800;
    int height = 600;
    int samples = 0;         // multisample count, 0 for none
    float anisotropy = 0.0f; // maximum texture anisotropy, 0 for plain filtering
    bool logging = false;
    bool atiShadows = false;
};

// What the launcher dialog hands over: the texts of the three drop-downs'
// edit fields (picked or typed) and the three check states.
struct LauncherChoices {
    std::string resolution;
    std::string antialiasing;
    std::string filtering;
    int fullscreen = 0;
    int music = 0;
    int atiShadows = 0;
};

// Texts are compared exactly and case-sensitively; anything else, typed or
// not, falls back to 800x600, no multisampling and no anisotropy. The launcher
// never enables logging.
DemoArgs demoArgsFromChoices(const LauncherChoices& choices);

// One line, stable for scripts and tests:
// "music=1 fullscreen=1 width=800 height=600 samples=0 anisotropy=0 logging=0 atiShadows=0"
std::string formatDemoArgs(const DemoArgs& args);
