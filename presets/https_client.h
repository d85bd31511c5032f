#pragma once
#include <functional>
#include <juce_core/juce_core.h>
#include <memory>
#include <optional>
#include <string>

// A small HTTPS GET client for the online preset list. Runs on the caller's thread and blocks
// it; keeps no shared state.

struct list_host
{
    juce::String name;
    int port = 443;
};

struct list_hosts
{
    list_host server;   // tried first
    list_host fallback; // tried once when the server fails in any way
};

// The compiled defaults, or RX40_LIST_HOSTS=host[:port],host[:port] when it is set.
list_hosts configured_list_hosts();
// "host[:port],host[:port]"; a missing or empty entry keeps its default.
list_hosts parse_list_hosts(const juce::String& text, const list_hosts& defaults);

struct https_limits
{
    int connect_timeout_ms = 5000;         // for the name look-up, and again for the connection
    int read_timeout_ms = 15000;           // longest wait for the next bytes
    int total_timeout_ms = 120000;         // for the whole response, so a trickling server ends too
    size_t max_response_bytes = 32u << 20; // a 2048-preset list is under 6 MiB
    // Asked about ten times a second while waiting; true abandons the attempt at once.
    std::function<bool()> should_stop;
};

// The request text of one attempt.
std::string http_request(const juce::String& path, const list_host& host);

// Responses and bodies are byte strings.
// The body after the first blank line, dechunked when the headers announce it and decoded
// when they name a gzip or deflate content coding; empty without a header end.
std::string response_body(const std::string& response, size_t maxBytes = https_limits{}.max_response_bytes);
std::string dechunk(const std::string& body);

// The raw response of one attempt; nothing on any failure (resolve, connect, certificate,
// handshake, write, read, time-out, size).
std::optional<std::string> https_get(const juce::String& path, const list_host& host,
                                     const https_limits& limits);

// The document of a response body from the network: nothing when it is refused or malformed.
std::unique_ptr<juce::XmlElement> xml_of_body(const std::string& body);

// Runs a call that nothing can interrupt (a name look-up) on a helper thread and waits for it at
// most TIME_LIMIT_MS, or until SHOULD_STOP says so. False when it did not finish in time; the
// helper then finishes in the background, so the call must own what it touches.
bool run_with_time_limit(std::function<void()> blocking_call, int time_limit_ms,
                         const std::function<bool()>& should_stop);

// One attempt against one host, and the fetch that falls back to the second host once.
std::unique_ptr<juce::XmlElement> get_xml_once(const juce::String& path, const list_host& host,
                                               const https_limits& limits = {});
std::unique_ptr<juce::XmlElement> fetch_xml(const juce::String& path,
                                            const list_hosts& hosts = configured_list_hosts(),
                                            const https_limits& limits = {});
