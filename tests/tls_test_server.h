#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

// One accepted connection as the handler sees it.
struct tls_connection
{
    SSL* ssl = nullptr; // null for a plain TCP server
    int fd = -1;
    const std::atomic<bool>* stopping = nullptr;

    // The request head, up to and with the blank line.
    std::string read_request();
    bool send(const std::string& bytes);
    // Waits until the server stops, for a stalled server.
    void stall();
};

// A TLS server on 127.0.0.1 on a free port, serving one connection at a time with a handler on
// its own thread. Without a certificate it is a plain TCP server (a failed handshake).
class tls_test_server
{
  public:
    using handler = std::function<void(tls_connection&)>;
    tls_test_server(const std::string& certFile, const std::string& keyFile, handler onConnection);
    ~tls_test_server();

    int port() const { return listenPort; }
    int connections() const { return accepted; }
    std::string last_request() const;
    std::string last_server_name() const; // the SNI the client sent

    // A response with the given headers (after the status line) and body.
    static std::string response(const std::string& headers, const std::string& body,
                                const std::string& status = "HTTP/1.1 200 OK");

  private:
    void serve();

    SSL_CTX* ctx = nullptr;
    int listenFd = -1, listenPort = 0;
    handler onConnection;
    std::atomic<bool> stopping{false};
    std::atomic<int> accepted{0};
    mutable std::mutex requestLock;
    std::string lastRequest, lastServerName;
    std::thread worker;
};

// A port on 127.0.0.1 where nothing listens.
int refused_port();
