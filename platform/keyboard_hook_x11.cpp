// The keyboard hook on X11: XInput2 raw key events of the root window, read on the message
// thread through the event loop's file-descriptor callbacks. Raw events reach every client
// without grabbing anything, so no key is ever taken from the focused window.
#include "platform/keyboard_hook.h"
#include "platform/x11_keys.h"
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <juce_events/juce_events.h>

namespace platform
{
namespace
{
void deliver(struct x11_hook& h, int type, int keycode);

// Raw events carry neither the lock state nor key repeat. The locked modifiers (Num Lock for the
// keypad) are followed from the keyboard's XKB state events, which arrive on this connection in
// order with the keys; nothing asks the server per key. A held key repeats on a timer at the
// server's repeat rate, the last pressed key only, as on Windows.
struct x11_hook : juce::Timer
{
    Display* display = nullptr;
    int xiOpcode = 0, xkbEventBase = 0;
    keyboard_hook_proc proc = nullptr;
    unsigned numLockMask = 0, lockedMods = 0;
    unsigned repeatDelay = 660, repeatInterval = 40;
    int repeatKey = 0;

    ~x11_hook() override { stopTimer(); }
    void timerCallback() override
    {
        startTimer((int)repeatInterval);
        deliver(*this, XI_RawKeyPress, repeatKey);
    }
};
x11_hook* installed = nullptr;

bool any_down(Display* d, const char keys[32], std::initializer_list<KeySym> syms)
{
    for (const KeySym s : syms)
    {
        const KeyCode c = XKeysymToKeycode(d, s);
        if (c != 0 && (keys[c / 8] & (1 << (c % 8))) != 0) return true;
    }
    return false;
}

void deliver(x11_hook& h, int type, int keycode)
{
    key_event event{};
    event.virtual_key = x11::virtual_key_of_keycode(h.display, keycode, (h.lockedMods & h.numLockMask) != 0);
    // Windows reports presses with Alt held and Ctrl not (and F10) as system keys.
    const bool system = (async_key_down(vk_menu) && !async_key_down(vk_control)) || event.virtual_key == 0x79;
    if (type == XI_RawKeyPress)
        event.message = system ? wm_syskeydown : wm_keydown;
    else
        event.message = system ? wm_syskeyup : wm_keyup;
    if (h.proc != nullptr) h.proc(0, event);
}

void read_events(x11_hook& h)
{
    while (XPending(h.display) > 0)
    {
        XEvent e;
        XNextEvent(h.display, &e);
        if (e.type == h.xkbEventBase)
        {
            const auto* x = reinterpret_cast<const XkbEvent*>(&e);
            if (x->any.xkb_type == XkbStateNotify) h.lockedMods = x->state.locked_mods;
            continue;
        }
        XGenericEventCookie* cookie = &e.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != h.xiOpcode ||
            !XGetEventData(h.display, cookie))
            continue;
        const int type = cookie->evtype;
        const int keycode = static_cast<XIRawEvent*>(cookie->data)->detail;
        XFreeEventData(h.display, cookie);
        if (type != XI_RawKeyPress && type != XI_RawKeyRelease) continue;
        if (type == XI_RawKeyPress)
        {
            h.repeatKey = keycode;
            h.startTimer((int)h.repeatDelay);
        }
        else if (keycode == h.repeatKey)
        {
            h.repeatKey = 0;
            h.stopTimer();
        }
        deliver(h, type, keycode);
    }
}
} // namespace

hook_handle set_keyboard_hook(keyboard_hook_proc proc)
{
    if (installed != nullptr) return nullptr; // one hook per process
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return nullptr;
    // XI 2.2: raw events then arrive even while another client grabs the keyboard (an open
    // menu, a game, a locker's prompt); a 2.0 client gets none during the grab.
    int opcode = 0, firstEvent = 0, firstError = 0, major = 2, minor = 2;
    int xkbOpcode = 0, xkbEvent = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (!XQueryExtension(d, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(d, &major, &minor) != Success ||
        !XkbQueryExtension(d, &xkbOpcode, &xkbEvent, &xkbError, &xkbMajor, &xkbMinor))
    {
        XCloseDisplay(d);
        return nullptr;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, (int)sizeof(bits), bits};
    XISelectEvents(d, DefaultRootWindow(d), &mask, 1);

    // Owned by the handle, as an HHOOK owns its hook; unhook_keyboard frees it.
    auto* h = new x11_hook;
    h->display = d;
    h->xiOpcode = opcode;
    h->xkbEventBase = xkbEvent;
    h->proc = proc;
    h->numLockMask = x11::num_lock_mask(d);
    XkbSelectEventDetails(d, XkbUseCoreKbd, XkbStateNotify, XkbModifierLockMask, XkbModifierLockMask);
    XkbStateRec state;
    if (XkbGetState(d, XkbUseCoreKbd, &state) == Success) h->lockedMods = state.locked_mods;
    XkbGetAutoRepeatRate(d, XkbUseCoreKbd, &h->repeatDelay, &h->repeatInterval);
    XFlush(d);
    installed = h;
    juce::LinuxEventLoop::registerFdCallback(ConnectionNumber(d), [h](int) { read_events(*h); });
    return h;
}

void unhook_keyboard(hook_handle hook)
{
    auto* h = static_cast<x11_hook*>(hook);
    if (h == nullptr || h != installed) return;
    juce::LinuxEventLoop::unregisterFdCallback(ConnectionNumber(h->display));
    XCloseDisplay(h->display);
    installed = nullptr;
    delete h;
}

bool async_key_down(int virtualKey)
{
    if (installed == nullptr) return false;
    char keys[32];
    XQueryKeymap(installed->display, keys);
    switch (virtualKey)
    {
    case vk_shift:
        return any_down(installed->display, keys, {XK_Shift_L, XK_Shift_R});
    case vk_control:
        return any_down(installed->display, keys, {XK_Control_L, XK_Control_R});
    case vk_menu:
        return any_down(installed->display, keys, {XK_Alt_L, XK_Alt_R, XK_Meta_L});
    default:
        return false;
    }
}
} // namespace platform
