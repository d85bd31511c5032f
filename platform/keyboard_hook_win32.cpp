// The keyboard hook on Windows: WH_KEYBOARD_LL for all threads of the desktop. Windows calls the
// procedure on the installing thread (the message thread) through its message loop; it stays
// short, and every event goes on with CallNextHookEx.
#include "platform/keyboard_hook.h"
#include <windows.h>

namespace platform
{
namespace
{
HHOOK installed = nullptr;
keyboard_hook_proc hookProc = nullptr;

LRESULT CALLBACK low_level_keyboard(int code, WPARAM message, LPARAM data)
{
    if (hookProc != nullptr)
    {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        hookProc(code, key_event{(int)message, (int)info->vkCode});
    }
    return CallNextHookEx(installed, code, message, data);
}
} // namespace

hook_handle set_keyboard_hook(keyboard_hook_proc proc)
{
    if (installed != nullptr) return nullptr; // one hook per process
    installed = SetWindowsHookExW(WH_KEYBOARD_LL, low_level_keyboard, GetModuleHandleW(nullptr), 0);
    if (installed != nullptr) hookProc = proc;
    return installed;
}

void unhook_keyboard(hook_handle hook)
{
    if (hook == nullptr || hook != installed) return;
    UnhookWindowsHookEx(installed);
    installed = nullptr;
    hookProc = nullptr;
}

bool async_key_down(int virtualKey)
{
    return GetAsyncKeyState(virtualKey) != 0;
}
} // namespace platform
