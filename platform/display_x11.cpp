#include "platform/display.h"
#include <X11/Xlib.h>

namespace platform
{
juce::String display_problem()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == 0)
        return "rx40panel: no X display (DISPLAY is not set); start it from an X11 desktop session, "
               "or a Wayland session with XWayland.";
    Display* d = XOpenDisplay(nullptr);
    if (d != nullptr)
    {
        XCloseDisplay(d);
        return {};
    }
    return "rx40panel: cannot open the X display \"" + juce::String::fromUTF8(name) +
           "\"; check that the X server runs and that this user may use it (XAUTHORITY).";
}
} // namespace platform
