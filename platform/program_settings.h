#pragma once
#include <juce_core/juce_core.h>

// The program-wide settings file "setting/set.ini" beside the executable. The path is rebuilt
// on every access and the file never held open.
namespace platform
{
juce::File settings_file();
int read_pset(const juce::String& key, int defaultValue);
int read_sset(const juce::String& key, int defaultValue);
void write_pset_language_off();
void write_sset(const juce::String& key, const juce::String& value);
} // namespace platform
