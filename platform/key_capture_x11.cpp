// Key capture on X11: XInput2 key events of our window on a connection of our own, translated as
// the keyboard hook translates its raw events. The window's own connection (the framework's) gets
// the same events as always.
#include "platform/key_capture.h"
#include "platform/key_codes.h"
#include "platform/x11_keys.h"
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <juce_events/juce_events.h>

namespace platform
{
namespace
{
class x11_key_capture : public key_capture
{
  public:
    x11_key_capture(Display* d, int opcode, std::function<void(const captured_key&)> onPress)
        : display(d), xiOpcode(opcode), numLockMask(x11::num_lock_mask(d)), callback(std::move(onPress))
    {
        juce::LinuxEventLoop::registerFdCallback(ConnectionNumber(display), [this](int) { read_events(); });
    }
    ~x11_key_capture() override
    {
        juce::LinuxEventLoop::unregisterFdCallback(ConnectionNumber(display));
        XCloseDisplay(display);
    }

  private:
    void read_events()
    {
        while (XPending(display) > 0)
        {
            XEvent e;
            XNextEvent(display, &e);
            XGenericEventCookie* cookie = &e.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != xiOpcode ||
                !XGetEventData(display, cookie))
                continue;
            captured_key key{};
            int virtualKey = 0;
            if (cookie->evtype == XI_KeyPress)
            {
                const auto* ev = static_cast<const XIDeviceEvent*>(cookie->data);
                const auto mods = (unsigned)ev->mods.effective;
                virtualKey = x11::virtual_key_of_keycode(display, ev->detail,
                                                         ((unsigned)ev->mods.locked & numLockMask) != 0);
                key = {framework_key_code(virtualKey), (mods & ControlMask) != 0, (mods & ShiftMask) != 0,
                       (mods & Mod1Mask) != 0};
            }
            XFreeEventData(display, cookie);
            if (!is_modifier_key(virtualKey) && callback) callback(key);
        }
    }

    Display* display;
    int xiOpcode;
    unsigned numLockMask;
    std::function<void(const captured_key&)> callback;
};
} // namespace

std::unique_ptr<key_capture> key_capture::for_window(void* nativeWindow,
                                                     std::function<void(const captured_key&)> onPress)
{
    if (nativeWindow == nullptr) return nullptr;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return nullptr;
    int opcode = 0, firstEvent = 0, firstError = 0, major = 2, minor = 2;
    if (!XQueryExtension(d, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(d, &major, &minor) != Success)
    {
        XCloseDisplay(d);
        return nullptr;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_KeyPress);
    XIEventMask mask{XIAllMasterDevices, (int)sizeof(bits), bits};
    XISelectEvents(d, (Window)(uintptr_t)nativeWindow, &mask, 1);
    XFlush(d);
    return std::make_unique<x11_key_capture>(d, opcode, std::move(onPress));
}
} // namespace platform
