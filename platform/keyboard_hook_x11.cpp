// The keyboard hook on X11: XInput2 raw key events of the root window, read on the message
// thread through the event loop's file-descriptor callbacks. Raw events reach every client
// without grabbing anything, so no key is ever taken from the focused window.
#include "platform/keyboard_hook.h"
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

// Raw events carry neither the lock state nor key repeat: the lock state is followed from the
// keyboard's state events, which arrive in order with the keys, and a held key repeats on a
// timer at the server's repeat rate, the last pressed key only, as on Windows.
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

int keypad_digit_key(KeySym s)
{
    return s >= XK_KP_0 && s <= XK_KP_9 ? 0x60 + (int)(s - XK_KP_0) : 0;
}

// The virtual-key code of a keysym, as a US keyboard layout reports it on Windows.
int virtual_key_of(KeySym s)
{
    if (s >= XK_a && s <= XK_z) return 'A' + (int)(s - XK_a);
    if (s >= XK_A && s <= XK_Z) return 'A' + (int)(s - XK_A);
    if (s >= XK_0 && s <= XK_9) return '0' + (int)(s - XK_0);
    if (s >= XK_F1 && s <= XK_F24) return 0x70 + (int)(s - XK_F1);
    if (const int k = keypad_digit_key(s)) return k;
    switch (s)
    {
    case XK_BackSpace:
        return 0x08;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return 0x09;
    case XK_Clear:
    case XK_KP_Begin:
        return 0x0C;
    case XK_Return:
    case XK_KP_Enter:
        return 0x0D;
    case XK_Pause:
        return 0x13;
    case XK_Caps_Lock:
        return 0x14;
    case XK_Escape:
        return 0x1B;
    case XK_space:
    case XK_KP_Space:
        return 0x20;
    case XK_Prior:
    case XK_KP_Prior:
        return 0x21;
    case XK_Next:
    case XK_KP_Next:
        return 0x22;
    case XK_End:
    case XK_KP_End:
        return 0x23;
    case XK_Home:
    case XK_KP_Home:
        return 0x24;
    case XK_Left:
    case XK_KP_Left:
        return 0x25;
    case XK_Up:
    case XK_KP_Up:
        return 0x26;
    case XK_Right:
    case XK_KP_Right:
        return 0x27;
    case XK_Down:
    case XK_KP_Down:
        return 0x28;
    case XK_Print:
        return 0x2C;
    case XK_Insert:
    case XK_KP_Insert:
        return 0x2D;
    case XK_Delete:
    case XK_KP_Delete:
        return 0x2E;
    case XK_Super_L:
        return 0x5B;
    case XK_Super_R:
        return 0x5C;
    case XK_Menu:
        return 0x5D;
    case XK_KP_Multiply:
        return 0x6A;
    case XK_KP_Add:
        return 0x6B;
    case XK_KP_Separator:
        return 0x6C;
    case XK_KP_Subtract:
        return 0x6D;
    case XK_KP_Decimal:
        return 0x6E;
    case XK_KP_Divide:
        return 0x6F;
    case XK_Num_Lock:
        return 0x90;
    case XK_Scroll_Lock:
        return 0x91;
    case XK_Shift_L:
        return 0xA0;
    case XK_Shift_R:
        return 0xA1;
    case XK_Control_L:
        return 0xA2;
    case XK_Control_R:
        return 0xA3;
    case XK_Alt_L:
    case XK_Meta_L:
        return 0xA4;
    case XK_Alt_R:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift:
        return 0xA5;
    case XK_semicolon:
        return 0xBA;
    case XK_equal:
        return 0xBB;
    case XK_comma:
        return 0xBC;
    case XK_minus:
        return 0xBD;
    case XK_period:
        return 0xBE;
    case XK_slash:
        return 0xBF;
    case XK_grave:
        return 0xC0;
    case XK_bracketleft:
        return 0xDB;
    case XK_backslash:
        return 0xDC;
    case XK_bracketright:
        return 0xDD;
    case XK_apostrophe:
        return 0xDE;
    default:
        return 0;
    }
}

bool num_lock_on(const x11_hook& h)
{
    XkbStateRec state;
    return XkbGetState(h.display, XkbUseCoreKbd, &state) == Success &&
           (state.locked_mods & h.numLockMask) != 0;
}

// Keypad keys give digits with Num Lock on and navigation keys with it off, as on Windows.
int virtual_key_of_keycode(const x11_hook& h, int keycode)
{
    const KeySym base = XkbKeycodeToKeysym(h.display, (KeyCode)keycode, 0, 0);
    const KeySym shifted = XkbKeycodeToKeysym(h.display, (KeyCode)keycode, 0, 1);
    if ((keypad_digit_key(shifted) != 0 || shifted == XK_KP_Decimal) && num_lock_on(h))
        return virtual_key_of(shifted);
    return virtual_key_of(base);
}

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
    event.virtual_key = virtual_key_of_keycode(h, keycode);
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
    int opcode = 0, firstEvent = 0, firstError = 0, major = 2, minor = 0;
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
    h->numLockMask = XkbKeysymToModifiers(d, XK_Num_Lock);
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
