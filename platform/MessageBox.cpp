#include "platform/MessageBox.h"

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
    SDL_ShowSimpleMessageBox(flags, title, text, nullptr);
}

bool askYesNo(const char* title, const char* text)
{
    std::fprintf(stderr, "question: %s\n", text);
    std::fflush(stderr);
    if (dialogsDisabled())
        return true;
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
        return true;
    return answer == 1;
}

void exitProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}
