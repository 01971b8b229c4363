#pragma once
// Message boxes of the player. Every box also writes one line to stderr
// ("error: <text>" for a box with the stop icon, "warning: <text>" for the
// others), so that tests and shells see what a user would read. The box itself
// is shown with SDL unless VP_NO_DIALOGS=1 is set or no display can be opened;
// where SDL cannot show it (its X11 box needs a core font many X servers
// lack), with FLTK.

enum class BoxIcon { None, Information, Warning, Stop };

// Shows a box with an OK button and returns when it is closed.
void showMessageBox(const char* title, const char* text, BoxIcon icon);

// Asks a yes/no question; without dialogs the answer is `answerWithoutDialogs`.
bool askYesNo(const char* title, const char* text, bool answerWithoutDialogs = true);

// True when boxes are only written to stderr.
bool dialogsDisabled();

// True when the environment names a display (X11 or Wayland) to open windows on.
bool displayNamed();

// Ends the process with the given code: exit handlers and static destructors run.
[[noreturn]] void exitProcess(int code);
