#include "platform/MessageBox.h"

#include <FL/fl_ask.H>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool dialogsDisabled()
{
    const char* v = std::getenv("VP_NO_DIALOGS");
    if (v && std::strcmp(v, "0") != 0 && v[0] != '\0')
        return true;
    // Without a display SDL cannot show a box; stderr is all there is.
    return !displayNamed();
}

bool displayNamed()
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

// SDL draws its X11 box in a core X font of one pattern, which many X
// servers do not have (no xfonts packages, Xvfb); it then fails, and tries
// zenity, often not installed either. The message would reach stderr only,
// which a person who double-clicked the player never sees. FLTK draws with
// the desktop's own fonts, as the launcher dialog does.
//
// FLTK ends the process when it cannot open the display, and its fatal hook
// shows a box itself (DialogWindow.cpp): it is asked only for a display that
// opens, and never from within its own box.
static bool xDisplayOpens();
static bool fltkBoxOpen = false;

static bool fltkCanShowBox()
{
    return !fltkBoxOpen && xDisplayOpens();
}

static void showFltkMessage(const char* title, const char* text, BoxIcon icon)
{
    if (!fltkCanShowBox())
        return;
    fltkBoxOpen = true;
    fl_message_title(title);
    if (icon == BoxIcon::Stop || icon == BoxIcon::Warning)
        fl_alert("%s", text);
    else
        fl_message("%s", text);
    fltkBoxOpen = false;
}

// Enter answers yes, Escape no, as in SDL's box.
static bool askFltkYesNo(const char* title, const char* text, bool answerWithoutBox)
{
    if (!fltkCanShowBox())
        return answerWithoutBox;
    fltkBoxOpen = true;
    fl_message_title(title);
    const bool yes = fl_choice("%s", "No", "Yes", nullptr, text) == 1;
    fltkBoxOpen = false;
    return yes;
}

static void writeStderrLine(BoxIcon icon, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", icon == BoxIcon::Stop ? "error" : "warning", text);
    std::fflush(stderr);
}

void showMessageBox(const char* title, const char* text, BoxIcon icon)
{
    writeStderrLine(icon, text);
    if (dialogsDisabled())
        return;
    Uint32 flags = 0;
    switch (icon) {
    case BoxIcon::Stop: flags = SDL_MESSAGEBOX_ERROR; break;
    case BoxIcon::Warning: flags = SDL_MESSAGEBOX_WARNING; break;
    case BoxIcon::Information: flags = SDL_MESSAGEBOX_INFORMATION; break;
    case BoxIcon::None: break;
    }
    // No owner window: the box stands on its own, even over a fullscreen run.
    if (SDL_ShowSimpleMessageBox(flags, title, text, nullptr) != 0)
        showFltkMessage(title, text, icon);
}

bool askYesNo(const char* title, const char* text, bool answerWithoutDialogs)
{
    std::fprintf(stderr, "question: %s\n", text);
    std::fflush(stderr);
    if (dialogsDisabled())
        return answerWithoutDialogs;
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    SDL_MessageBoxData data = {};
    data.flags = SDL_MESSAGEBOX_ERROR;
    data.title = title;
    data.message = text;
    data.numbuttons = 2;
    data.buttons = buttons;
    int answer = 1;
    if (SDL_ShowMessageBox(&data, &answer) != 0)
        return askFltkYesNo(title, text, answerWithoutDialogs);
    return answer == 1;
}

void exitProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}

// Last: Xlib's macros (None among them) would clash with the names above.
#include <X11/Xlib.h>

static bool xDisplayOpens()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}
