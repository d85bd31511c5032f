#pragma once
#include <functional>

// The system asking the program to quit (Windows: WM_QUERYENDSESSION / console close; here
// SIGTERM and SIGINT). The handler runs on the message thread.
namespace platform
{
void on_quit_request(std::function<void()> handler);
} // namespace platform
