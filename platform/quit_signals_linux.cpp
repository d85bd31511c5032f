#include "platform/quit_signals.h"
#include <csignal>
#include <fcntl.h>
#include <juce_events/juce_events.h>
#include <unistd.h>

namespace platform
{
namespace
{
int pipeFds[2] = {-1, -1};
std::function<void()>& quit_handler()
{
    static std::function<void()> handler;
    return handler;
}

void on_signal(int)
{
    const char byte = 'q';
    [[maybe_unused]] auto n = write(pipeFds[1], &byte, 1);
}
} // namespace

void on_quit_request(std::function<void()> handler)
{
    quit_handler() = std::move(handler);
    if (pipeFds[0] >= 0) return;
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;

    // The signal handler only writes to the pipe; the work happens on the message thread.
    juce::LinuxEventLoop::registerFdCallback(pipeFds[0],
                                             [](int fd)
                                             {
                                                 char buffer[16];
                                                 while (read(fd, buffer, sizeof(buffer)) > 0)
                                                 {
                                                 }
                                                 if (quit_handler()) quit_handler()();
                                             });
    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
} // namespace platform
