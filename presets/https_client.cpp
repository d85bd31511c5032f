#include "presets/https_client.h"
#include "platform/tcp_socket.h"
#include "platform/tls_roots.h"
#include "platform/utf8_text.h"
#include "platform/xml_input.h"
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <thread>

#ifndef RX40_LIST_SERVER
#define RX40_LIST_SERVER "presets.rx40panel.example"
#endif
#ifndef RX40_LIST_FALLBACK
#define RX40_LIST_FALLBACK "presets-backup.rx40panel.example"
#endif

namespace
{
list_host parse_host(juce::String text, const list_host& fallback)
{
    text = text.trim();
    if (text.isEmpty()) return fallback;
    list_host h;
    if (text.startsWithChar('['))
    {
        // [v6 address]:port
        h.name = text.fromFirstOccurrenceOf("[", false, false).upToFirstOccurrenceOf("]", false, false);
        const auto rest = text.fromFirstOccurrenceOf("]", false, false);
        if (rest.startsWithChar(':')) h.port = rest.substring(1).getIntValue();
    }
    else if (text.containsChar(':'))
    {
        h.name = text.upToLastOccurrenceOf(":", false, false);
        h.port = text.fromLastOccurrenceOf(":", false, false).getIntValue();
    }
    else
        h.name = text;
    if (h.port <= 0 || h.port > 65535) h.port = 443;
    return h;
}

using clock_type = std::chrono::steady_clock;
constexpr int slice_ms = 100; // how often a wait looks at should_stop

bool stop_asked(const https_limits& limits)
{
    return limits.should_stop && limits.should_stop();
}

// Name resolution cannot be interrupted, so it runs on a helper of its own; an abandoned one
// finishes in the background and frees its result.
std::shared_ptr<platform::tcp_addresses> resolve(const list_host& host, const https_limits& limits)
{
    auto found = std::make_shared<std::shared_ptr<platform::tcp_addresses>>();
    const std::string name = host.name.toStdString();
    const int port = host.port;
    const bool finished =
        run_with_time_limit([found, name, port] { *found = platform::resolve_tcp(name, port); },
                            limits.connect_timeout_ms, limits.should_stop);
    return finished ? *found : nullptr;
}

// Connects to the first address, waiting at most the connect time-out.
bool connect_first(platform::tcp_socket& s, const list_host& host, const https_limits& limits)
{
    const auto addresses = resolve(host, limits);
    return addresses != nullptr && s.connect_first(*addresses, limits.connect_timeout_ms, slice_ms,
                                                   [&] { return stop_asked(limits); });
}

void init_tls()
{
    OPENSSL_init_crypto(OPENSSL_INIT_LOAD_CONFIG, nullptr);
    OPENSSL_init_ssl(0, nullptr);
    OPENSSL_init_crypto(OPENSSL_INIT_ADD_ALL_CIPHERS | OPENSSL_INIT_ADD_ALL_DIGESTS, nullptr);
}

struct tls_session
{
    SSL_CTX* ctx = nullptr;
    SSL* ssl = nullptr;
    ~tls_session()
    {
        if (ssl != nullptr)
        {
            SSL_shutdown(ssl);
            SSL_free(ssl);
        }
        if (ctx != nullptr) SSL_CTX_free(ctx);
    }
};

// The server must prove it is the host asked for, by a chain to the system's trust store
// (SSL_CERT_FILE / SSL_CERT_DIR apply).
bool prepare_tls(tls_session& t, int fd, const juce::String& host)
{
    t.ctx = SSL_CTX_new(TLS_client_method());
    if (t.ctx == nullptr) return false;
    SSL_CTX_set_verify(t.ctx, SSL_VERIFY_PEER, nullptr);
    if (SSL_CTX_set_default_verify_paths(t.ctx) != 1) return false;
    platform::add_system_trust_roots(t.ctx);
    // Servers that close without a TLS close alert are common; a cut document fails to parse.
    SSL_CTX_set_options(t.ctx, SSL_OP_IGNORE_UNEXPECTED_EOF);
    t.ssl = SSL_new(t.ctx);
    if (t.ssl == nullptr) return false;
    const auto name = host.toStdString();
    if (platform::is_ip_literal(name))
    {
        if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(t.ssl), name.c_str()) != 1) return false;
    }
    else
    {
        if (SSL_set1_host(t.ssl, name.c_str()) != 1) return false;
        SSL_set_tlsext_host_name(t.ssl, name.c_str());
    }
    return SSL_set_fd(t.ssl, fd) == 1;
}

// The socket's own time-outs are one slice long; a call that timed out is repeated until its
// deadline, unless the caller gave up.
template <typename Call>
int with_deadline(SSL* ssl, const https_limits& limits, clock_type::time_point deadline, Call&& call)
{
    for (;;)
    {
        const int rc = call();
        if (rc > 0) return rc;
        const int err = SSL_get_error(ssl, rc);
        if (err != SSL_ERROR_WANT_READ && err != SSL_ERROR_WANT_WRITE) return rc;
        if (stop_asked(limits) || clock_type::now() >= deadline) return -1;
    }
}

size_t find_header_end(const std::string& response)
{
    return response.find("\r\n\r\n");
}

std::string decompress(const std::string& data, juce::GZIPDecompressorInputStream::Format format,
                       size_t maxBytes)
{
    juce::GZIPDecompressorInputStream in(new juce::MemoryInputStream(data.data(), data.size(), false), true,
                                         format);
    std::string out;
    char buffer[16384];
    for (;;)
    {
        const int n = in.read(buffer, (int)sizeof(buffer));
        if (n <= 0) break;
        out.append(buffer, (size_t)n);
        if (out.size() > maxBytes) return {};
    }
    return out;
}

std::string ascii_lower(std::string s)
{
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

// A header line "field: ... value ..." in the lower-cased header block.
bool header_names(const std::string& lowerHeaders, const std::string& field, const char* value)
{
    size_t start = 0;
    while (start < lowerHeaders.size())
    {
        size_t end = lowerHeaders.find("\r\n", start);
        if (end == std::string::npos) end = lowerHeaders.size();
        const auto line = lowerHeaders.substr(start, end - start);
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() &&
            line[field.size()] == ':' && line.find(value, field.size()) != std::string::npos)
            return true;
        start = end + 2;
    }
    return false;
}

} // namespace

bool run_with_time_limit(std::function<void()> blocking_call, int time_limit_ms,
                         const std::function<bool()>& should_stop)
{
    struct state
    {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
    };
    auto shared = std::make_shared<state>();
    std::thread(
        [shared, call = std::move(blocking_call)]
        {
            call();
            std::lock_guard<std::mutex> g(shared->lock);
            shared->finished = true;
            shared->done.notify_all();
        })
        .detach();
    const auto deadline = clock_type::now() + std::chrono::milliseconds(juce::jmax(0, time_limit_ms));
    std::unique_lock<std::mutex> g(shared->lock);
    while (!shared->done.wait_for(g, std::chrono::milliseconds(slice_ms), [&] { return shared->finished; }))
        if ((should_stop && should_stop()) || clock_type::now() >= deadline) return false;
    return true;
}

list_hosts parse_list_hosts(const juce::String& text, const list_hosts& defaults)
{
    list_hosts h = defaults;
    h.server = parse_host(text.upToFirstOccurrenceOf(",", false, false), defaults.server);
    if (text.containsChar(','))
        h.fallback = parse_host(text.fromFirstOccurrenceOf(",", false, false), defaults.fallback);
    return h;
}

list_hosts configured_list_hosts()
{
    // The compiled values may carry a port too.
    static const list_hosts defaults = parse_list_hosts(RX40_LIST_SERVER "," RX40_LIST_FALLBACK, {});
    auto* env = std::getenv("RX40_LIST_HOSTS");
    return env == nullptr ? defaults : parse_list_hosts(juce::String::fromUTF8(env), defaults);
}

std::string http_request(const juce::String& path, const list_host& host)
{
    // A port other than the standard one belongs in the Host field.
    const auto hostField = host.port == 443 ? host.name : host.name + ":" + juce::String(host.port);
    const juce::String text = "GET " + path +
                              " HTTP/1.1\r\n"
                              "Host: " +
                              hostField +
                              "\r\n"
                              "Content-Type: application/x-www-form-urlencoded\r\n"
                              "Accept: *,*/*\r\n"
                              "Accept-Language: zh-cn\r\n"
                              "Accept-Encoding: gzip, deflate\r\n"
                              "User-Agent: Mozilla/5.0\r\n"
                              "Connection: close\r\n"
                              "\r\n";
    return text.toStdString();
}

std::string dechunk(const std::string& body)
{
    std::string out;
    size_t p = 0;
    for (;;)
    {
        const size_t eol = body.find("\r\n", p);
        if (eol == std::string::npos) break;
        size_t i = p;
        while (i < eol && (body[i] == ' ' || body[i] == '\t'))
            ++i;
        if (i + 1 < eol && body[i] == '0' && (body[i + 1] == 'x' || body[i + 1] == 'X')) i += 2;
        uint64_t size = 0;
        bool digits = false;
        for (; i < eol; ++i)
        {
            const int d =
                juce::CharacterFunctions::getHexDigitValue((juce::juce_wchar)(unsigned char)body[i]);
            if (d < 0) break;
            if (size > (UINT64_MAX >> 4)) return out; // overflow
            size = (size << 4) | (uint64_t)d;
            digits = true;
        }
        if (!digits) break;
        p = eol + 2;
        if (size == 0) break;
        const size_t take = (size_t)std::min<uint64_t>(size, body.size() - p);
        out.append(body, p, take);
        p += take;
        if (body.compare(p, 2, "\r\n") == 0) p += 2;
    }
    return out;
}

std::string response_body(const std::string& response, size_t maxBytes)
{
    const size_t end = find_header_end(response);
    if (end == std::string::npos) return {};
    const auto headers = ascii_lower(response.substr(0, end));
    std::string body = response.substr(end + 4);
    if (headers.find("transfer-encoding: chunked") != std::string::npos) body = dechunk(body);

    // The request offers these codings, so a server may use them.
    if (header_names(headers, "content-encoding", "gzip"))
        body = decompress(body, juce::GZIPDecompressorInputStream::gzipFormat, maxBytes);
    else if (header_names(headers, "content-encoding", "deflate"))
    {
        auto zlib = decompress(body, juce::GZIPDecompressorInputStream::zlibFormat, maxBytes);
        body = zlib.empty() ? decompress(body, juce::GZIPDecompressorInputStream::deflateFormat, maxBytes)
                            : zlib;
    }
    return body;
}

std::optional<std::string> https_get(const juce::String& path, const list_host& host,
                                     const https_limits& limits)
{
    init_tls();
    platform::broken_pipe_guard noPipeSignal;
    platform::tcp_socket s;
    if (!connect_first(s, host, limits)) return std::nullopt;
    s.set_timeouts(slice_ms);
    const auto start = clock_type::now();
    const auto total = start + std::chrono::milliseconds(limits.total_timeout_ms);
    auto next_deadline = [&]
    { return std::min(total, clock_type::now() + std::chrono::milliseconds(limits.read_timeout_ms)); };

    tls_session t;
    if (!prepare_tls(t, s.native(), host.name)) return std::nullopt;
    if (with_deadline(t.ssl, limits, next_deadline(), [&] { return SSL_connect(t.ssl); }) <= 0 ||
        SSL_get_verify_result(t.ssl) != X509_V_OK)
        return std::nullopt;

    const auto request = http_request(path, host);
    if (with_deadline(t.ssl, limits, next_deadline(),
                      [&] { return SSL_write(t.ssl, request.data(), (int)request.size()); }) <= 0)
        return std::nullopt;

    std::string response;
    char buffer[4096];
    for (;;)
    {
        const int n = with_deadline(t.ssl, limits, next_deadline(),
                                    [&] { return SSL_read(t.ssl, buffer, (int)sizeof(buffer) - 1); });
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        response.append(buffer, (size_t)n);
        if (response.size() > limits.max_response_bytes) return std::nullopt;
    }
    return response;
}

std::unique_ptr<juce::XmlElement> get_xml_once(const juce::String& path, const list_host& host,
                                               const https_limits& limits)
{
    const auto response = https_get(path, host, limits);
    if (!response) return nullptr;
    auto root = xml_of_body(response_body(*response, limits.max_response_bytes));
    if (root == nullptr) std::printf("parse fail\n");
    return root;
}

std::unique_ptr<juce::XmlElement> xml_of_body(const std::string& body)
{
    return platform::parse_xml(platform::utf8_text(body.data(), body.size()));
}

std::unique_ptr<juce::XmlElement> fetch_xml(const juce::String& path, const list_hosts& hosts,
                                            const https_limits& limits)
{
    if (auto root = get_xml_once(path, hosts.server, limits)) return root;
    if (stop_asked(limits)) return nullptr; // a stop ends the fetch, not only the attempt
    return get_xml_once(path, hosts.fallback, limits);
}
