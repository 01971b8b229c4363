#include "app/PlayerApp.h"

#include "app/LauncherDialog.h"

bool PlayerApp::initInstance()
{
    LauncherDialog dialog;
    if (dialog.doModal() == kIdLaunch)
        run(demoArgsFromChoices(dialog.choices()));
    return false;
}
