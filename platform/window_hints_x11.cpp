#include "platform/window_hints.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdint>

namespace platform
{
void set_minimum_window_size(void* nativeWindow, int width, int height)
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr || nativeWindow == nullptr)
    {
        if (d != nullptr) XCloseDisplay(d);
        return;
    }
    if (XSizeHints* hints = XAllocSizeHints())
    {
        hints->flags = PMinSize | PBaseSize;
        hints->min_width = hints->base_width = width;
        hints->min_height = hints->base_height = height;
        XSetWMNormalHints(d, (Window)(uintptr_t)nativeWindow, hints);
        XFree(hints);
    }
    XSync(d, False);
    XCloseDisplay(d);
}
} // namespace platform
