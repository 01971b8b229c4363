/* Sends a window what a person or a window manager would, for the end-to-end
   tests.
     xsend WINDOW_ID close        presses the close box (WM_DELETE_WINDOW)
     xsend WINDOW_ID KEYSYM...    taps each key (an X keysym such as Right):
                                  press and release go out in one flush, so
                                  the player reads both in one go and sees one
                                  tap, however busy the machine. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void sendKey(Display* d, Window w, int type, unsigned int keycode)
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

static void sendClose(Display* d, Window w)
{
    XEvent ev = {0};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &ev);
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: xsend WINDOW_ID close|KEYSYM...\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xsend: no display\n");
        return 1;
    }
    Window w = (Window)strtoul(argv[1], NULL, 0);
    int closing = strcmp(argv[2], "close") == 0;
    if (closing)
        sendClose(d, w);
    for (int i = 2; i < argc && !closing; ++i) {
        KeySym sym = XStringToKeysym(argv[i]);
        KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
        if (!code) {
            fprintf(stderr, "xsend: no key %s\n", argv[i]);
            return 2;
        }
        sendKey(d, w, KeyPress, code);
        sendKey(d, w, KeyRelease, code);
        XSync(d, False);
    }
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
