// Holds a grab of F9 on the root window in a separate X client until its standard input closes, so that a test
// can see Kinoloop's hot key refused with BadAccess.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cstdio>
#include <unistd.h>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 2;
    const KeyCode f9 = XKeysymToKeycode(display, XK_F9);
    XGrabKey(display, f9, 0, DefaultRootWindow(display), True, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    std::puts("grabbed");
    std::fflush(stdout);
    char c;
    while (read(0, &c, 1) > 0) {
    }
    XCloseDisplay(display);
    return 0;
}
