#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

namespace platform
{
// The framework's key code for KEY as it is on Windows: the virtual-key code, with 0x10000 for
// the extended keys (keypad, F-keys, navigation), letters in upper case. The hotkey codes are
// built from it, so they mean the same keys on every system.
int windows_key_code(const juce::KeyPress& key);

// The framework's key code for a Windows virtual-key code: 0x10000 added for the extended keys.
constexpr int framework_key_code(int virtualKey)
{
    const bool extended = (virtualKey >= 0x21 && virtualKey <= 0x28) || virtualKey == 0x2D ||
                          virtualKey == 0x2E || (virtualKey >= 0x60 && virtualKey <= 0x87);
    return extended ? virtualKey | 0x10000 : virtualKey;
}

// Whether VIRTUAL_KEY is a modifier or lock key (or 0, no key), which never makes a hotkey alone.
bool is_modifier_key(int virtualKey);
} // namespace platform
