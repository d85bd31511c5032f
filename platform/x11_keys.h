#pragma once
// The X11 side of key translation, shared by the keyboard hook and the key capture so that both
// give the same code for the same key. X11 sources only.
#include <X11/Xlib.h>

namespace platform::x11
{
// The Windows virtual-key code of KEYCODE, as a US keyboard layout reports it on Windows: keypad
// keys give digits with Num Lock on and navigation keys with it off. 0 for keys without one.
int virtual_key_of_keycode(Display* display, int keycode, bool numLockOn);
// The modifier mask of Num Lock on DISPLAY.
unsigned num_lock_mask(Display* display);
} // namespace platform::x11
