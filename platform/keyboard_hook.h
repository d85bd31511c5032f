#pragma once

// A system-wide low-level keyboard hook in the shape of WH_KEYBOARD_LL: the procedure gets
// every key event of the desktop with its Windows message and virtual-key code, on the thread
// that installed the hook (the message thread), and the event always goes on to its window.
namespace platform
{
constexpr int wm_keydown = 0x0100, wm_keyup = 0x0101, wm_syskeydown = 0x0104, wm_syskeyup = 0x0105;
constexpr int vk_shift = 0x10, vk_control = 0x11, vk_menu = 0x12;

struct key_event
{
    int message;     // wm_keydown, wm_syskeydown (Alt held without Ctrl, or F10), wm_keyup, ...
    int virtual_key; // Windows virtual-key code
};
using keyboard_hook_proc = void (*)(int hookCode, const key_event& event);
using hook_handle = void*;

// Null when the hook cannot be installed (no display, no input extension).
hook_handle set_keyboard_hook(keyboard_hook_proc proc);
void unhook_keyboard(hook_handle hook);
// GetAsyncKeyState: whether the key (vk_shift, vk_control, vk_menu: either side) is down now.
bool async_key_down(int virtualKey);
} // namespace platform
