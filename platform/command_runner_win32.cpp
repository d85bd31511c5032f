#include "platform/command_runner.h"
#include <windows.h>

namespace platform
{
juce::String native_command_for(const juce::String& windowsCommandLine)
{
    return windowsCommandLine; // the command lines are Windows' own
}

void run_command(const juce::String& commandLine)
{
    // WinExec takes the system's code page.
    WinExec(commandLine.toStdString().c_str(), SW_SHOWNORMAL);
}
} // namespace platform
