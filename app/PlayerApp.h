#pragma once
// The application object of the launcher: shows the dialog, turns the choices
// into the demo run's arguments and starts the run. Escape pod ends the
// program without a window, a sound or a data file being touched.
#include "app/DemoArgs.h"
#include "app/OrganiserDefaults.h"

class PlayerApp {
public:
    // What runs after "Launch!": the demo, or (for tests) a printer of the arguments.
    using RunFunction = int (*)(const DemoArgs& args);

    explicit PlayerApp(RunFunction run) : run(run) {}

    // Does all of the application's work; returns false in every case, so
    // that the application ends when it returns.
    bool initInstance();

    // What the dialog starts with: the production's defaults.
    OrganiserDefaults defaults;

private:
    RunFunction run;
};
