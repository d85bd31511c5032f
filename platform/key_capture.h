#pragma once
#include <functional>
#include <memory>

// The keys pressed in one of our own windows, read from the system's key event itself: the key's
// Windows virtual-key code by the same translation as the keyboard hook (so a captured hotkey is
// the code the hook later reports for that key), and the modifiers held with it. The framework's
// key presses cannot serve: on X11 they turn keypad digits into main-row digits and report the
// shifted character (Shift+1 as "!", the code of Page Up).
namespace platform
{
struct captured_key
{
    int key_code; // the virtual-key code, with 0x10000 for the extended keys (keypad, F-keys, ...)
    bool ctrl, shift, alt;
};

class key_capture
{
  public:
    virtual ~key_capture() = default;
    // Calls ON_PRESS on the message thread for each key pressed (modifier and lock keys alone
    // excepted) while NATIVE_WINDOW has the keyboard. Null when the system offers no such events.
    static std::unique_ptr<key_capture> for_window(void* nativeWindow,
                                                   std::function<void(const captured_key&)> onPress);
};
} // namespace platform
