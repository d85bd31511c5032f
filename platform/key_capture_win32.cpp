// Key capture on Windows: a keyboard hook of the message thread (WH_KEYBOARD) sees each key-down
// with its virtual-key code before the framework turns it into a character; only the keys that
// reach the capturing window count.
#include "platform/key_capture.h"
#include "platform/key_codes.h"
#include <windows.h>

namespace platform
{
namespace
{
class win32_key_capture;
win32_key_capture* active = nullptr; // one capture at a time, on the message thread

bool held(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

class win32_key_capture : public key_capture
{
  public:
    win32_key_capture(HWND w, std::function<void(const captured_key&)> onPress)
        : window(w), callback(std::move(onPress))
    {
        active = this;
        hook = SetWindowsHookExW(WH_KEYBOARD, keyboard, nullptr, GetCurrentThreadId());
    }
    ~win32_key_capture() override
    {
        if (hook != nullptr) UnhookWindowsHookEx(hook);
        if (active == this) active = nullptr;
    }
    bool installed() const { return hook != nullptr; }

  private:
    static LRESULT CALLBACK keyboard(int code, WPARAM vk, LPARAM flags)
    {
        const bool keyDown = (flags & (1u << 31)) == 0;
        if (code == HC_ACTION && keyDown && active != nullptr && !is_modifier_key((int)vk))
        {
            HWND focus = GetFocus();
            if (focus == active->window || IsChild(active->window, focus))
                active->callback(captured_key{framework_key_code((int)vk), held(VK_CONTROL), held(VK_SHIFT),
                                              held(VK_MENU)});
        }
        return CallNextHookEx(nullptr, code, vk, flags);
    }

    HWND window;
    HHOOK hook = nullptr;
    std::function<void(const captured_key&)> callback;
};
} // namespace

std::unique_ptr<key_capture> key_capture::for_window(void* nativeWindow,
                                                     std::function<void(const captured_key&)> onPress)
{
    if (nativeWindow == nullptr || active != nullptr) return nullptr;
    auto capture = std::make_unique<win32_key_capture>(static_cast<HWND>(nativeWindow), std::move(onPress));
    if (!capture->installed()) return nullptr;
    return capture;
}
} // namespace platform
