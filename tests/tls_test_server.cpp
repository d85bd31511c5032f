#include "tests/tls_test_server.h"
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
int listen_on_free_port(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, (sockaddr*)&a, sizeof(a)) != 0 || ::listen(fd, 8) != 0) throw std::runtime_error("listen");
    socklen_t len = sizeof(a);
    ::getsockname(fd, (sockaddr*)&a, &len);
    port = ntohs(a.sin_port);
    return fd;
}
} // namespace

std::string tls_connection::read_request()
{
    std::string head;
    char c;
    while (head.find("\r\n\r\n") == std::string::npos)
    {
        const int n = ssl != nullptr ? SSL_read(ssl, &c, 1) : (int)::read(fd, &c, 1);
        if (n <= 0) break;
        head += c;
    }
    return head;
}

bool tls_connection::send(const std::string& bytes)
{
    if (bytes.empty()) return true;
    if (ssl != nullptr) return SSL_write(ssl, bytes.data(), (int)bytes.size()) > 0;
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == (ssize_t)bytes.size();
}

void tls_connection::stall()
{
    while (!*stopping)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

tls_test_server::tls_test_server(const std::string& certFile, const std::string& keyFile, handler h)
    : onConnection(std::move(h))
{
    // Clients hang up mid-response on purpose; writing then must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    if (!certFile.empty())
    {
        ctx = SSL_CTX_new(TLS_server_method());
        if (SSL_CTX_use_certificate_chain_file(ctx, certFile.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(ctx, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
            throw std::runtime_error("certificate " + certFile);
    }
    listenFd = listen_on_free_port(listenPort);
    worker = std::thread([this] { serve(); });
}

tls_test_server::~tls_test_server()
{
    stopping = true;
    worker.join();
    ::close(listenFd);
    if (ctx != nullptr) SSL_CTX_free(ctx);
}

std::string tls_test_server::last_request() const
{
    std::lock_guard<std::mutex> g(requestLock);
    return lastRequest;
}

std::string tls_test_server::last_server_name() const
{
    std::lock_guard<std::mutex> g(requestLock);
    return lastServerName;
}

void tls_test_server::serve()
{
    while (!stopping)
    {
        pollfd p{listenFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++accepted;
        tls_connection c;
        c.fd = fd;
        c.stopping = &stopping;
        timeval tv{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
        bool ready = true;
        if (ctx != nullptr)
        {
            c.ssl = SSL_new(ctx);
            SSL_set_fd(c.ssl, fd);
            ready = SSL_accept(c.ssl) > 0;
        }
        if (ready)
        {
            {
                // Read here so the handler's own read sees nothing twice.
                const auto head = c.read_request();
                std::lock_guard<std::mutex> g(requestLock);
                lastRequest = head;
                const char* sni =
                    c.ssl != nullptr ? SSL_get_servername(c.ssl, TLSEXT_NAMETYPE_host_name) : nullptr;
                lastServerName = sni != nullptr ? sni : "";
            }
            onConnection(c);
        }
        if (c.ssl != nullptr)
        {
            if (ready) SSL_shutdown(c.ssl);
            SSL_free(c.ssl);
        }
        ::close(fd);
    }
}

std::string tls_test_server::response(const std::string& headers, const std::string& body,
                                      const std::string& status)
{
    return status + "\r\n" + headers + (headers.empty() ? "" : "\r\n") + "Connection: close\r\n\r\n" + body;
}

int refused_port()
{
    int port = 0;
    const int fd = listen_on_free_port(port);
    ::close(fd); // nothing listens there any more
    return port;
}
