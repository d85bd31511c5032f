#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Writes TEXT as UTF-8 without a byte-order mark beside FILE and moves it over FILE, so a crash
// or a full disk mid-write leaves the old file whole. False on any failure.
bool replace_file(const juce::File& file, const juce::String& text);
} // namespace platform
