#include "app/CommandLine.h"
#include "app/RunOptions.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#include <sanitizer/lsan_interface.h>
#define VP_LEAK_CHECK 1
#endif
#endif

int main(int argc, char** argv)
{
#ifdef VP_RELEASE_PLAYER_BUILD
    // A release plays the production it ships with, wherever it is started
    // from: the organiser's folder may well hold another production.
    currentRunOptions().ownProductionOnly = true;
#endif
    int rc = playerMain(argc, argv);
#ifdef VP_LEAK_CHECK
    // In the sanitizer build, leaks are looked for here, while the GL
    // driver's and SDL's threads are still idle rather than half taken apart
    // by exit handlers, where the leak checker's thread walk can fault.
    __lsan_do_leak_check();
#endif
    return rc;
}
