#include "platform/tcp_socket.h"
#include <winsock2.h>

// After winsock2.h, which they need.
#include <chrono>
#include <ws2tcpip.h>

namespace platform
{
namespace
{
// Winsock is started once for the process and left running.
bool winsock_ready()
{
    static const bool ready = []
    {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}
} // namespace

struct tcp_addresses
{
    addrinfo* result = nullptr;
    ~tcp_addresses()
    {
        if (result != nullptr) freeaddrinfo(result);
    }
};

std::shared_ptr<tcp_addresses> resolve_tcp(const std::string& host, int port)
{
    if (!winsock_ready()) return nullptr;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    auto r = std::make_shared<tcp_addresses>();
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &r->result) != 0) r->result = nullptr;
    return r->result != nullptr ? r : nullptr;
}

tcp_socket::~tcp_socket()
{
    if (handle != -1) closesocket((SOCKET)handle);
}

bool tcp_socket::connect_first(const tcp_addresses& addresses, int timeoutMs, int sliceMs,
                               const std::function<bool()>& shouldStop)
{
    if (!winsock_ready()) return false;
    const addrinfo* found = addresses.result;
    const SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (s == INVALID_SOCKET) return false;
    handle = (intptr_t)s;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (connect(s, found->ai_addr, (int)found->ai_addrlen) != 0)
    {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;)
        {
            if ((shouldStop && shouldStop()) || std::chrono::steady_clock::now() >= deadline) return false;
            WSAPOLLFD p{s, POLLWRNORM, 0};
            const int ready = WSAPoll(&p, 1, sliceMs);
            if (ready > 0) break;
            if (ready < 0) return false;
        }
        int err = 0;
        int len = sizeof(err);
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) != 0 || err != 0)
            return false;
    }
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    const int buffer = 65536;
    const BOOL one = TRUE;
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&buffer), sizeof(buffer));
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof(buffer));
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof(one));
    return true;
}

void tcp_socket::set_timeouts(int ms)
{
    const DWORD timeout = (DWORD)(ms < 1 ? 1 : ms); // milliseconds on Windows
    setsockopt((SOCKET)handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    setsockopt((SOCKET)handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
}

bool is_ip_literal(const std::string& text)
{
    if (!winsock_ready()) return false;
    IN6_ADDR a6;
    IN_ADDR a4;
    return inet_pton(AF_INET, text.c_str(), &a4) == 1 || inet_pton(AF_INET6, text.c_str(), &a6) == 1;
}

struct broken_pipe_guard::state
{
};
broken_pipe_guard::broken_pipe_guard() = default; // Windows raises no signal for it
broken_pipe_guard::~broken_pipe_guard() = default;
} // namespace platform
