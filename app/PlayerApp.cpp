#include "app/PlayerApp.h"

#include "app/LauncherDialog.h"
#include "app/RunOptions.h"

bool PlayerApp::initInstance()
{
    LauncherDialog dialog;
    dialog.caption = currentRunOptions().names.launcherCaption();
    dialog.productionFolder = currentRunOptions().productionFolder;
    dialog.fullscreen = defaults.fullscreen ? 1 : 0;
    dialog.defaultResolution = defaults.resolutionText();
    if (dialog.doModal() == kIdLaunch) {
        bool desktop = false;
        const DemoArgs args = defaults.argsFromChoices(dialog.choices(), desktop);
        currentRunOptions().desktopFullscreen = desktop;
        run(args);
    }
    return false;
}
