#include "platform/command_runner.h"
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace platform
{
juce::String native_command_for(const juce::String& windowsCommandLine)
{
    if (windowsCommandLine.containsIgnoreCase("MMSys.cpl")) return "pavucontrol";
    if (windowsCommandLine.containsIgnoreCase("intl.cpl")) return "gnome-control-center region";
    if (windowsCommandLine.containsIgnoreCase("devmgmt.msc")) return "gnome-control-center";
    return windowsCommandLine;
}

void run_command(const juce::String& commandLine)
{
    auto command = native_command_for(commandLine);
    if (command.isEmpty()) return;
    // Double fork so the child is adopted by init and never left as a zombie.
    auto pid = fork();
    if (pid == 0)
    {
        if (fork() == 0)
        {
            setsid();
            execl("/bin/sh", "sh", "-c", (command + " >/dev/null 2>&1").toRawUTF8(), (char*)nullptr);
        }
        _exit(0);
    }
    if (pid > 0) waitpid(pid, nullptr, 0);
}
} // namespace platform
