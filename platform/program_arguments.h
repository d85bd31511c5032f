#pragma once
#include <juce_core/juce_core.h>

// The arguments the program was started with, without its own name, as text.
namespace platform
{
#if JUCE_WINDOWS
// From the process's wide command line (Windows hands a GUI program no argv of its own).
juce::StringArray program_arguments();
// Where standard output and error go when this GUI program was started from a console without
// redirection: that console.
void attach_parent_console();
#else
juce::StringArray program_arguments(int argc, const char** argv);
inline void attach_parent_console() {}
#endif
} // namespace platform
