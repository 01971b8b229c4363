#include "platform/Interruption.h"

#include <SDL.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void noteSignal(int signal)
{
    if (!caught)
        caught = signal;
}

} // namespace

namespace platform {

void installInterruptionHandlers()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // SDL would turn these signals into a plain quit event, which the run
    // cannot tell from a closed window.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes carry on; waits for events (select, poll) return
    // early whatever the flag says, so the launcher's loop wakes up.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruptingSignal()
{
    return caught;
}

const char* signalName(int signal)
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "a signal";
    }
}

int exitCodeAfterInterruption(int code)
{
    return caught ? 128 + caught : code;
}

} // namespace platform
