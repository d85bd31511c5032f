#pragma once
#include <juce_core/juce_core.h>

// Windows private-profile access (GetPrivateProfileIntW / WritePrivateProfileStringW semantics).
// The file is opened for each call and never held, so an edit by hand shows at the next read.
namespace platform
{
int get_private_profile_int(const juce::String& section, const juce::String& key, int defaultValue,
                            const juce::File& file);

// GetPrivateProfileStringW: the value without surrounding blanks and quotes, or the default.
juce::String get_private_profile_string(const juce::String& section, const juce::String& key,
                                        const juce::String& defaultValue, const juce::File& file);

// Creates the key, and the file when its folder exists; fails silently otherwise.
// Replaces the file atomically so a crash mid-write never loses it.
bool write_private_profile_string(const juce::String& section, const juce::String& key,
                                  const juce::String& value, const juce::File& file);
} // namespace platform
