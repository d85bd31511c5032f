#include "platform/tcp_socket.h"
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform
{
struct tcp_addresses
{
    addrinfo* result = nullptr;
    ~tcp_addresses()
    {
        if (result != nullptr) ::freeaddrinfo(result);
    }
};

std::shared_ptr<tcp_addresses> resolve_tcp(const std::string& host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    auto r = std::make_shared<tcp_addresses>();
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &r->result) != 0)
        r->result = nullptr;
    return r->result != nullptr ? r : nullptr;
}

tcp_socket::~tcp_socket()
{
    if (handle >= 0) ::close((int)handle);
}

bool tcp_socket::connect_first(const tcp_addresses& addresses, int timeoutMs, int sliceMs,
                               const std::function<bool()>& shouldStop)
{
    const addrinfo* found = addresses.result;
    const int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
    if (fd < 0) return false;
    handle = fd;
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (::connect(fd, found->ai_addr, found->ai_addrlen) != 0)
    {
        if (errno != EINPROGRESS) return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;)
        {
            if ((shouldStop && shouldStop()) || std::chrono::steady_clock::now() >= deadline) return false;
            pollfd p{fd, POLLOUT, 0};
            const int ready = ::poll(&p, 1, sliceMs);
            if (ready > 0) break;
            if (ready < 0 && errno != EINTR) return false;
        }
        int err = 0;
        socklen_t len = sizeof(err);
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) return false;
    }
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    const int buffer = 65536, one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof(buffer));
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    return true;
}

void tcp_socket::set_timeouts(int ms)
{
    ms = ms < 1 ? 1 : ms;
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt((int)handle, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    ::setsockopt((int)handle, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
}

bool is_ip_literal(const std::string& text)
{
    in6_addr a6;
    in_addr a4;
    return ::inet_pton(AF_INET, text.c_str(), &a4) == 1 || ::inet_pton(AF_INET6, text.c_str(), &a6) == 1;
}

// SIGPIPE is blocked on this thread for the attempt, and one that came up is discarded.
struct broken_pipe_guard::state
{
    sigset_t old{};
};

broken_pipe_guard::broken_pipe_guard() : d(std::make_unique<state>())
{
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &d->old);
}

broken_pipe_guard::~broken_pipe_guard()
{
    sigset_t pipe, pending;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigpending(&pending);
    if (sigismember(&pending, SIGPIPE) == 1 && sigismember(&d->old, SIGPIPE) == 0)
    {
        timespec zero{0, 0};
        sigtimedwait(&pipe, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &d->old, nullptr);
}
} // namespace platform
