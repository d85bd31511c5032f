#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// The folder of the running executable; every program path starts here.
juce::File program_folder();
// Program folder + a sub path written with backslashes ("\\setting\\set.ini").
juce::File program_file(const juce::String& subPath);
} // namespace platform
