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
static void showFltkMessage(const char* title, const char* text, BoxIcon icon)
{
    fl_message_title(title);
    if (icon == BoxIcon::Stop || icon == BoxIcon::Warning)
        fl_alert("%s", text);
    else
        fl_message("%s", text);
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
    if (SDL_ShowMessageBox(&data, &answer) != 0) {
        // Enter answers yes, Escape no, as in SDL's box.
        fl_message_title(title);
        return fl_choice("%s", "No", "Yes", nullptr, text) == 1;
    }
    return answer == 1;
}

void exitProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}
