#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

namespace platform
{
// The framework's key code for KEY as it is on Windows: the virtual-key code, with 0x10000 for
// the extended keys (keypad, F-keys, navigation), letters in upper case. The hotkey codes are
// built from it, so they mean the same keys on every system.
int windows_key_code(const juce::KeyPress& key);
} // namespace platform
