#pragma once
// SIGINT and SIGTERM (Ctrl+C in a terminal, kill, a batch system's timeout)
// end a run the way closing its window does, so that what it was writing is
// finished and valid, but they are not a success: the process then exits
// with 128 + the signal's number, as a shell reports a killed program, and
// says where it stopped.
//
// The handler only notes the signal; the window's message pump turns it into
// a quit message and the launcher dialog's loop closes the dialog.

namespace platform {

// Installs the handlers (once; SDL is told to leave them alone).
void installInterruptionHandlers();

// The signal that asked the process to stop (SIGINT, SIGTERM), or 0.
int interruptingSignal();

// "SIGINT", "SIGTERM" (the signal's name for messages).
const char* signalName(int signal);

// 128 + the signal when one interrupted the process, else `code`.
int exitCodeAfterInterruption(int code);

} // namespace platform
