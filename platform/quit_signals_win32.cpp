#include "platform/quit_signals.h"
#include <juce_events/juce_events.h>
#include <windows.h>

// The end of the session reaches the framework's window (WM_QUERYENDSESSION), which asks the
// application to quit; a console's close comes here and goes to the message thread.
namespace platform
{
namespace
{
std::function<void()>& quit_handler()
{
    static std::function<void()> handler;
    return handler;
}

BOOL WINAPI on_console_event(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_CLOSE_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    juce::MessageManager::callAsync(
        []
        {
            if (quit_handler()) quit_handler()();
        });
    return TRUE;
}
} // namespace

void on_quit_request(std::function<void()> handler)
{
    quit_handler() = std::move(handler);
    static const bool installed = SetConsoleCtrlHandler(on_console_event, TRUE) != 0;
    (void)installed;
}
} // namespace platform
