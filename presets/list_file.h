#pragma once
#include "presets/effect_preset.h"

// The library's cache of the online list: program folder + "\setting\list_new.xml".
juce::File list_file_path();

// The exact text of the file for the first min(count, 2048) presets.
juce::String list_file_text(const preset_list& list);

// Replaces the file atomically; an empty list writes nothing. Failures are silent (the next
// download writes again); the result is for tests.
bool write_list_file(const preset_list& list, const juce::File& file = list_file_path());

// Replaces the list with the file's presets of the current language and gives how many were
// loaded. A missing or unreadable file, or one with a wrong or empty root, leaves the list as it
// was and gives 0.
int load_list_file(preset_list& list, const juce::File& file, bool english);
int load_list_file(preset_list& list);
// The same from the document's text.
int load_list_text(preset_list& list, const juce::String& text, bool english);
