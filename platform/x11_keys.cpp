#include "platform/x11_keys.h"
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace platform::x11
{
namespace
{
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

} // namespace

int virtual_key_of_keycode(Display* display, int keycode, bool numLockOn)
{
    const KeySym base = XkbKeycodeToKeysym(display, (KeyCode)keycode, 0, 0);
    const KeySym shifted = XkbKeycodeToKeysym(display, (KeyCode)keycode, 0, 1);
    if ((keypad_digit_key(shifted) != 0 || shifted == XK_KP_Decimal) && numLockOn)
        return virtual_key_of(shifted);
    return virtual_key_of(base);
}

unsigned num_lock_mask(Display* display)
{
    return XkbKeysymToModifiers(display, XK_Num_Lock);
}
} // namespace platform::x11
