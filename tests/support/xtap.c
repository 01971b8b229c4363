/* Taps keys in a window: for each key name (an X keysym such as Right or
   Up), a press and a release sent to the window together, so that the
   player reads both in one go and sees one tap, however busy the machine.
   Usage: xtap WINDOW_ID KEYSYM... */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

static void send(Display* d, Window w, int type, unsigned int keycode)
{
    XEvent ev = {0};
    ev.xkey.type = type;
    ev.xkey.display = d;
    ev.xkey.window = w;
    ev.xkey.root = DefaultRootWindow(d);
    ev.xkey.subwindow = None;
    ev.xkey.time = CurrentTime;
    ev.xkey.same_screen = True;
    ev.xkey.keycode = keycode;
    XSendEvent(d, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &ev);
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: xtap WINDOW_ID KEYSYM...\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xtap: no display\n");
        return 1;
    }
    Window w = (Window)strtoul(argv[1], NULL, 0);
    for (int i = 2; i < argc; ++i) {
        KeySym sym = XStringToKeysym(argv[i]);
        KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
        if (!code) {
            fprintf(stderr, "xtap: no key %s\n", argv[i]);
            return 2;
        }
        send(d, w, KeyPress, code);
        send(d, w, KeyRelease, code);
        /* The pair goes out in one flush, so the server hands both on at once. */
        XSync(d, False);
    }
    XCloseDisplay(d);
    return 0;
}
