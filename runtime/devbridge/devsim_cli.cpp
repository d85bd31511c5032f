// rx40-devsim: drives the virtual device inside a running panel, one command per call.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#ifdef _WIN32
#include "devsim_channel.h"
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace
{
#ifdef _WIN32
std::string default_socket()
{
    char exe[MAX_PATH] = {};
    std::string path = GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0 ? exe : "rx40-devsim.exe";
    const auto slash = path.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "\\devsim.sock";
}

// Sends REQUEST as one message and reads the answer to its end; false when nobody listens.
bool exchange(const std::string& path, const std::string& request, std::string& answer)
{
    const auto name = devsim::pipe_name_for(path);
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 20 && pipe == INVALID_HANDLE_VALUE; ++attempt)
    {
        pipe = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE &&
            (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeA(name.c_str(), 500)))
            return false;
    }
    if (pipe == INVALID_HANDLE_VALUE) return false;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(pipe, request.data(), (DWORD)request.size(), &written, nullptr);
    char buffer[4096];
    for (;;)
    {
        DWORD n = 0;
        const BOOL ok = ReadFile(pipe, buffer, sizeof(buffer), &n, nullptr);
        answer.append(buffer, n);
        if (!ok && GetLastError() == ERROR_MORE_DATA) continue;
        break;
    }
    CloseHandle(pipe);
    return true;
}
#else
std::string default_socket()
{
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    std::string path = n > 0 ? std::string(exe, (size_t)n) : std::string("./rx40-devsim");
    const auto slash = path.rfind('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/devsim.sock";
}

#endif

int usage()
{
    std::fprintf(stderr,
                 "usage: rx40-devsim COMMAND [ARGS]\n"
                 "  connect [MODEL]            plug the device in (KQ3, KQ3X, LN7, LN5 or any name)\n"
                 "  disconnect                 unplug it (event 1)\n"
                 "  event CODE                 send any event code\n"
                 "  set FIELD=VALUE ...        change the device's record (field name or bN), then event 3\n"
                 "  battery BYTE               set batteryVoltage, then event 4\n"
                 "  info [--linked] FIELD=TEXT name, model, firmware, hardware, serial\n"
                 "  record                     print the device's 27 bytes in hex\n"
                 "  log [--clear]              print the calls the device received\n"
                 "The socket is $RX40_DEVSIM_SOCKET, else devsim.sock beside this program.\n");
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) return usage();
    const char* env = std::getenv("RX40_DEVSIM_SOCKET");
    const std::string path = env != nullptr && *env != 0 ? env : default_socket();

    std::string request;
    for (int i = 1; i < argc; ++i)
    {
        request += argv[i];
        request += '\0';
    }
    std::string answer;
#ifdef _WIN32
    if (!exchange(path, request, answer))
    {
        std::fprintf(stderr, "rx40-devsim: no virtual device at %s; is rx40panel running?\n", path.c_str());
        return 1;
    }
#else
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof(addr.sun_path))
    {
        std::fprintf(stderr, "rx40-devsim: socket path too long: %s\n", path.c_str());
        return 1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0)
    {
        std::fprintf(stderr, "rx40-devsim: no virtual device at %s (%s); is rx40panel running?\n",
                     path.c_str(), std::strerror(errno));
        return 1;
    }

    size_t sent = 0;
    while (sent < request.size())
    {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += (size_t)n;
    }
    shutdown(fd, SHUT_WR);

    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof(buffer))) > 0;)
        answer.append(buffer, (size_t)n);
    close(fd);
#endif

    if (answer.size() < 2 || answer[1] != '\n')
    {
        std::fprintf(stderr, "rx40-devsim: no answer from the virtual device\n");
        return 1;
    }
    const bool ok = answer[0] == '0';
    const std::string text = answer.substr(2);
    if (ok)
        std::fputs(text.c_str(), stdout);
    else
        std::fprintf(stderr, "rx40-devsim: %s", text.c_str());
    return ok ? 0 : 1;
}
