// One copy per user on Windows: a mutex and a named pipe whose names hold the user's security
// identifier, so another user's copy (another session, fast user switching) never counts. The
// pipe's default security lets only its creator's account and the system in.
#include "platform/single_instance.h"
#include <juce_events/juce_events.h>
#include <windows.h>

// After windows.h, which it needs.
#include <sddl.h>

namespace platform
{
namespace
{
juce::String user_sid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<char> buffer(size);
    juce::String sid;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
    {
        LPWSTR text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        {
            sid = juce::String(text);
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

bool notify(const juce::String& pipeName)
{
    HANDLE pipe =
        CreateFileW(pipeName.toWideCharPointer(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
    {
        if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(pipeName.toWideCharPointer(), 2000))
            return false;
        pipe =
            CreateFileW(pipeName.toWideCharPointer(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) return false;
    }
    DWORD written = 0;
    const bool sent = WriteFile(pipe, "show", 4, &written, nullptr) && written == 4;
    CloseHandle(pipe);
    return sent;
}
} // namespace

struct single_instance::state : juce::Thread
{
    juce::String pipeName;
    std::function<void()> callback;
    HANDLE mutex = nullptr;
    HANDLE stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    state() : juce::Thread("single instance") {}
    ~state() override
    {
        SetEvent(stopEvent);
        stopThread(2000);
        CloseHandle(stopEvent);
        if (mutex != nullptr) CloseHandle(mutex);
    }

    // Each connection to the pipe is a later start: the running copy shows itself.
    void run() override
    {
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        while (!threadShouldExit())
        {
            HANDLE pipe = CreateNamedPipeW(
                pipeName.toWideCharPointer(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                PIPE_TYPE_BYTE | PIPE_REJECT_REMOTE_CLIENTS, PIPE_UNLIMITED_INSTANCES, 0, 64, 0, nullptr);
            if (pipe == INVALID_HANDLE_VALUE) break;
            ResetEvent(overlapped.hEvent);
            bool connected =
                ConnectNamedPipe(pipe, &overlapped) != 0 || GetLastError() == ERROR_PIPE_CONNECTED;
            if (!connected && GetLastError() == ERROR_IO_PENDING)
            {
                HANDLE events[2] = {overlapped.hEvent, stopEvent};
                connected = WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
            }
            CloseHandle(pipe);
            if (connected && !threadShouldExit())
                juce::MessageManager::callAsync(
                    [cb = callback]
                    {
                        if (cb) cb();
                    });
        }
        CloseHandle(overlapped.hEvent);
    }
};

single_instance::single_instance(const juce::String& appName, std::function<void()> onAnotherStart)
    : d(std::make_unique<state>())
{
    d->callback = std::move(onAnotherStart);
    const auto sid = user_sid();
    if (sid.isEmpty()) return; // nothing to tell users apart: run unguarded
    const auto base = "rx40panel-" + juce::String::toHexString(appName.hashCode64()) + "-" + sid;
    d->pipeName = "\\\\.\\pipe\\" + base;
    d->mutex = CreateMutexW(nullptr, FALSE, ("Global\\" + base).toWideCharPointer());
    if (d->mutex == nullptr) d->mutex = CreateMutexW(nullptr, FALSE, ("Local\\" + base).toWideCharPointer());
    if (d->mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
    {
        // A copy runs (or is starting): give it a moment to listen, so that its window is shown.
        for (int i = 0; i < 50 && !notify(d->pipeName); ++i)
            Sleep(100);
        otherCopy = true;
        return;
    }
    d->startThread();
}

single_instance::~single_instance() = default;
} // namespace platform
