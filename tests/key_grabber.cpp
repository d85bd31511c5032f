// Holds an active grab of the keyboard, as an open menu, a game or a screen locker's prompt does,
// until it is killed. Prints "grabbed" once the grab is held.
#include <X11/Xlib.h>
#include <cstdio>
#include <unistd.h>

int main()
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 1;
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    for (int tries = 0; tries < 50; ++tries)
    {
        if (XGrabKeyboard(d, w, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)
        {
            std::puts("grabbed");
            std::fflush(stdout);
            for (;;)
            {
                XEvent e;
                XNextEvent(d, &e); // takes the grabbed keys
            }
        }
        usleep(100000);
    }
    return 2;
}
