/* Gives an X window the focus the way a window manager with the WM_TAKE_FOCUS protocol does
 * when the user clicks it: the input focus, then a WM_PROTOCOLS client message carrying
 * WM_TAKE_FOCUS, which is what makes Wine activate the window (a bare focus change does not).
 * usage: wm_focus WINDOW_ID */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: wm_focus WINDOW_ID\n");
        return 2;
    }
    char* end = NULL;
    const Window window = (Window)strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0') {
        fprintf(stderr, "wm_focus: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "wm_focus: cannot open the display\n");
        return 1;
    }
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_TAKE_FOCUS", False);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
