#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// WinExec in normal-window mode: starts the command detached, the result is ignored.
// Windows control-panel command lines are mapped to this system's own tool where one exists.
void run_command(const juce::String& commandLine);
juce::String native_command_for(const juce::String& windowsCommandLine);
} // namespace platform
