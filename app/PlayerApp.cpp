#include "app/PlayerApp.h"

#include "app/LauncherDialog.h"
#include "app/RunOptions.h"

bool PlayerApp::initInstance()
{
    LauncherDialog dialog;
    dialog.caption = currentRunOptions().names.launcherCaption();
    dialog.productionFolder = currentRunOptions().productionFolder;
    if (dialog.doModal() == kIdLaunch)
        run(demoArgsFromChoices(dialog.choices()));
    return false;
}
