#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Chinese unless RX40_LANG=en is in the environment; read once.
bool ui_is_english();
// Picks the text of a message by the language switch.
inline juce::String tr(const char* chinese, const char* english)
{
    return ui_is_english() ? juce::String(english) : juce::String(juce::CharPointer_UTF8(chinese));
}
// "kqen/" or "kqcn/".
juce::String language_folder();
} // namespace platform
