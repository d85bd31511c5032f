// One copy per user on Windows: a mutex and a named pipe whose names hold the user's security
// identifier, so another user's copy (another session, fast user switching) never counts. The
// pipe is open to that user only, and to local callers only.
#include "platform/connection_pool.h"
#include "platform/single_instance.h"
#include <atomic>

#include <windows.h>

// After windows.h, which they need.
#include <sddl.h>

namespace platform
{
namespace
{
// The string form of the user PROCESS runs as; empty when it cannot be read.
juce::String user_of(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
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

juce::String user_sid()
{
    return user_of(GetCurrentProcess());
}

struct channel_names
{
    juce::String sid, pipe, mutexBase;
};

channel_names names_for(const juce::String& appName)
{
    const auto sid = user_sid();
    if (sid.isEmpty()) return {}; // nothing to tell users apart
    const auto base = "rx40panel-" + juce::String::toHexString(appName.hashCode64()) + "-" + sid;
    return {sid, "\\\\.\\pipe\\" + base, base};
}

// True when the process at the other end of PIPE runs as this user: a pipe of our name made by
// someone else is never talked to.
bool served_by_this_user(HANDLE pipe, const juce::String& sid)
{
    ULONG pid = 0;
    if (!GetNamedPipeServerProcessId(pipe, &pid)) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return false;
    const bool same = user_of(process) == sid;
    CloseHandle(process);
    return same;
}

bool mutex_exists(const juce::String& base)
{
    for (const char* scope : {"Global\\", "Local\\"})
        if (HANDLE m = OpenMutexW(SYNCHRONIZE, FALSE, (scope + base).toWideCharPointer()))
        {
            CloseHandle(m);
            return true;
        }
    return false;
}

class pipe_connection : public local_connection
{
  public:
    pipe_connection(HANDLE pipeHandle, const std::atomic<bool>* stopFlag, HANDLE stopEvent)
        : pipe(pipeHandle), stopFlag(stopFlag), stopEvent(stopEvent)
    {
    }
    ~pipe_connection() override
    {
        CloseHandle(pipe);
        CloseHandle(event);
    }

    int read(void* buffer, int size, int timeoutMs) override
    {
        DWORD n = 0;
        const int r = io(false, buffer, size, timeoutMs, n);
        return r < 0 ? r : (int)n;
    }

    bool write(const void* data, int size) override
    {
        auto* at = static_cast<const char*>(data);
        while (size > 0)
        {
            DWORD n = 0;
            if (io(true, const_cast<char*>(at), size, 10000, n) <= 0 || n == 0) return false;
            at += n;
            size -= (int)n;
        }
        return true;
    }

    bool stopping() const override { return stopFlag != nullptr && stopFlag->load(); }

  private:
    // 1 done (N bytes), 0 the other end closed, -1 an error, a time-out or the program ending.
    int io(bool writing, void* buffer, int size, int timeoutMs, DWORD& n)
    {
        if (stopping()) return -1;
        OVERLAPPED ov{};
        ov.hEvent = event;
        ResetEvent(event);
        const BOOL ok = writing ? WriteFile(pipe, buffer, (DWORD)size, nullptr, &ov)
                                : ReadFile(pipe, buffer, (DWORD)size, nullptr, &ov);
        if (!ok && GetLastError() != ERROR_IO_PENDING) return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
        HANDLE events[2] = {event, stopEvent};
        const DWORD waited = WaitForMultipleObjects(stopEvent != nullptr ? 2 : 1, events, FALSE,
                                                    (DWORD)juce::jmax(0, timeoutMs));
        if (waited != WAIT_OBJECT_0) CancelIoEx(pipe, &ov);
        const BOOL finished = GetOverlappedResult(pipe, &ov, &n, TRUE);
        if (waited != WAIT_OBJECT_0) return -1;
        if (!finished) return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
        return n == 0 && !writing ? 0 : 1;
    }

    HANDLE pipe;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::atomic<bool>* stopFlag;
    HANDLE stopEvent;
};
} // namespace

struct single_instance::state : juce::Thread
{
    channel_names names;
    connection_handler handler;
    HANDLE mutex = nullptr;
    HANDLE stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> stopping{false};
    std::unique_ptr<connection_pool> clients; // this thread's only
    PSECURITY_DESCRIPTOR userOnly = nullptr;
    HANDLE waiting = INVALID_HANDLE_VALUE; // the first instance, until the thread takes it

    state() : juce::Thread("command channel") {}
    ~state() override
    {
        stopping = true;
        SetEvent(stopEvent);
        stopThread(5000);
        CloseHandle(stopEvent);
        if (mutex != nullptr) CloseHandle(mutex);
        if (userOnly != nullptr) LocalFree(userOnly);
    }

    // A new instance of the pipe for the next caller; the first one also claims the name.
    HANDLE new_pipe(bool first)
    {
        SECURITY_ATTRIBUTES sa{sizeof(sa), userOnly, FALSE};
        // The first instance must be ours: a pipe of this name made by anyone else is refused.
        return CreateNamedPipeW(names.pipe.toWideCharPointer(),
                                PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                                    (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
                                PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, &sa);
    }

    // Listens from here on: the pipe exists before the constructor returns.
    void listen()
    {
        const auto sddl = "D:P(A;;GA;;;" + names.sid + ")";
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.toWideCharPointer(), SDDL_REVISION_1,
                                                                  &userOnly, nullptr))
            return;
        waiting = new_pipe(true);
        if (waiting != INVALID_HANDLE_VALUE) startThread();
    }

    void run() override
    {
        clients = std::make_unique<connection_pool>(handler);
        OVERLAPPED ov{};
        ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE pipe = waiting;
        while (pipe != INVALID_HANDLE_VALUE && !threadShouldExit() && !stopping)
        {
            ResetEvent(ov.hEvent);
            bool connected = ConnectNamedPipe(pipe, &ov) != 0 || GetLastError() == ERROR_PIPE_CONNECTED;
            if (!connected && GetLastError() == ERROR_IO_PENDING)
            {
                HANDLE events[2] = {ov.hEvent, stopEvent};
                connected = WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
                if (!connected) CancelIoEx(pipe, &ov);
                DWORD unused = 0;
                connected = GetOverlappedResult(pipe, &ov, &unused, TRUE) && connected;
            }
            if (!connected || stopping)
                CloseHandle(pipe);
            else
                clients->add(std::make_unique<pipe_connection>(pipe, &stopping, stopEvent));
            pipe = stopping ? INVALID_HANDLE_VALUE : new_pipe(false);
        }
        if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
        CloseHandle(ov.hEvent);
        clients.reset(); // each sees the stop event at once
    }
};

single_instance::single_instance(const juce::String& appName, connection_handler onConnection)
    : d(std::make_unique<state>())
{
    d->handler = std::move(onConnection);
    d->names = names_for(appName);
    if (d->names.sid.isEmpty()) return; // run unguarded
    d->mutex = CreateMutexW(nullptr, FALSE, ("Global\\" + d->names.mutexBase).toWideCharPointer());
    if (d->mutex == nullptr)
        d->mutex = CreateMutexW(nullptr, FALSE, ("Local\\" + d->names.mutexBase).toWideCharPointer());
    if (d->mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
    {
        otherCopy = true;
        return;
    }
    d->listen();
}

single_instance::~single_instance() = default;

std::unique_ptr<local_connection> connect_to_running_copy(const juce::String& appName, int waitMs)
{
    const auto names = names_for(appName);
    if (names.sid.isEmpty()) return nullptr;
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax(0, waitMs);
    for (;;)
    {
        HANDLE pipe = CreateFileW(names.pipe.toWideCharPointer(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (pipe != INVALID_HANDLE_VALUE)
        {
            if (served_by_this_user(pipe, names.sid))
                return std::make_unique<pipe_connection>(pipe, nullptr, nullptr);
            CloseHandle(pipe);
            return nullptr;
        }
        const DWORD error = GetLastError();
        const auto now = juce::Time::getMillisecondCounter();
        if (now >= deadline) return nullptr;
        if (error == ERROR_PIPE_BUSY)
            WaitNamedPipeW(names.pipe.toWideCharPointer(), juce::jmin<DWORD>(deadline - now, 1000));
        else if (!mutex_exists(names.mutexBase))
            return nullptr;
        else
            Sleep(50);
    }
}
} // namespace platform
