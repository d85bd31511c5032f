#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The HTTPS client's TCP connection on the system's sockets (Winsock on Windows).
namespace platform
{
// The addresses of a host. Resolving blocks and cannot be interrupted: callers run it under a
// time limit of their own. Null when the name does not resolve.
struct tcp_addresses;
std::shared_ptr<tcp_addresses> resolve_tcp(const std::string& host, int port);

class tcp_socket
{
  public:
    tcp_socket() = default;
    ~tcp_socket();
    tcp_socket(const tcp_socket&) = delete;
    tcp_socket& operator=(const tcp_socket&) = delete;

    // Connects to the first address without blocking, waiting at most TIMEOUT_MS and asking
    // SHOULD_STOP every SLICE_MS; then the socket blocks again, with Nagle's delay turned off.
    bool connect_first(const tcp_addresses& addresses, int timeoutMs, int sliceMs,
                       const std::function<bool()>& shouldStop);
    // Receive and send time-outs, so that a blocked call comes back to look at its deadline.
    void set_timeouts(int ms);
    // The socket as OpenSSL's SSL_set_fd takes it.
    int native() const { return (int)handle; }

  private:
    intptr_t handle = -1;
};

// Whether TEXT is an IPv4 or IPv6 address literal.
bool is_ip_literal(const std::string& text);

// While one exists on a thread, a write to a connection the peer closed fails there instead of
// ending the program (SIGPIPE on Linux; nothing to do on Windows).
class broken_pipe_guard
{
  public:
    broken_pipe_guard();
    ~broken_pipe_guard();
    broken_pipe_guard(const broken_pipe_guard&) = delete;
    broken_pipe_guard& operator=(const broken_pipe_guard&) = delete;

  private:
    struct state;
    std::unique_ptr<state> d;
};
} // namespace platform
