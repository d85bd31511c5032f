#include "presets/https_client.h"
#include "tests/tls_test_server.h"
#include <chrono>
#include <gtest/gtest.h>
#include <netdb.h>

namespace
{
const std::string certs = RX40_TEST_CERTS;
const std::string listXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><effect_vk2max_list><category "
                            "description=\"\xe6\xb5\x8b\xe8\xaf\x95\"/></effect_vk2max_list>";

std::string gzip(const std::string& text, int format)
{
    juce::MemoryOutputStream out;
    {
        juce::GZIPCompressorOutputStream z(
            out, 6, format == 0 ? juce::GZIPCompressorOutputStream::windowBitsGZIP : 15);
        z.write(text.data(), text.size());
    }
    return std::string((const char*)out.getData(), out.getDataSize());
}

struct https : ::testing::Test
{
    void SetUp() override { setenv("SSL_CERT_FILE", (certs + "/ca.pem").c_str(), 1); }

    static list_host local(int port) { return {"127.0.0.1", port}; }
    std::unique_ptr<tls_test_server> serve(tls_test_server::handler h, const std::string& cert = "server")
    {
        return std::make_unique<tls_test_server>(cert.empty() ? "" : certs + "/" + cert + ".pem",
                                                 cert.empty() ? "" : certs + "/" + cert + ".key",
                                                 std::move(h));
    }
    static tls_test_server::handler answer(std::string response)
    {
        return [response](tls_connection& c) { c.send(response); };
    }
    https_limits quick() const
    {
        https_limits l;
        l.read_timeout_ms = 400;
        return l;
    }
};
} // namespace

TEST(response_text, bodies_and_chunks)
{
    struct
    {
        std::string response, body;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", "abc"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n", "abcde"},
        {"HTTP/1.1 200 OK\r\nTRANSFER-ENCODING: CHUNKED\r\n\r\n3\r\nabc\r\n0\r\n\r\n", "abc"},
        // no space after the colon: a plain body
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding:chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
         "3\r\nabc\r\n0\r\n\r\n"},
        {"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n<a/>", ""}, // no header end
        {"HTTP/1.1 200 OK\r\n\r\n", ""},
    };
    for (auto& c : cases)
        EXPECT_EQ(response_body(c.response), c.body) << c.response;
}

TEST(response_text, dechunk_edges)
{
    struct
    {
        std::string chunked, decoded;
    } cases[] = {
        {"a;name=value\r\n0123456789\r\n0\r\n", "0123456789"}, // extension ignored
        {" 0x3\r\nabc\r\n0\r\n", "abc"},                       // white space and 0x prefix
        {"3\r\nabc\r\n5\r\nde", "abcde"},                      // last chunk cut short: what arrived
        {"3\r\nabc", "abc"},                                   // no CR LF after the last chunk
        {"3\r\nabc\r\nzz\r\nmore\r\n", "abc"},                 // no digits: stop
        {"3\r\nabc\r\n10000000000000000\r\nxyz\r\n", "abc"},   // overflow: stop
        {"3\r\nabc\r\n0\r\nTrailer: x\r\n\r\n", "abc"},        // trailers ignored
        {"no line end", ""},
    };
    for (auto& c : cases)
        EXPECT_EQ(dechunk(c.chunked), c.decoded) << c.chunked;
}

TEST(response_text, offered_codings_are_decoded)
{
    const std::string text = "<effect_vk2max_list><category description=\"x\"/></effect_vk2max_list>";
    EXPECT_EQ(response_body("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + gzip(text, 0)), text);
    EXPECT_EQ(response_body("HTTP/1.1 200 OK\r\ncontent-encoding: deflate\r\n\r\n" + gzip(text, 1)), text);
    // gzip and chunks together
    const auto z = gzip(text, 0);
    char size[16];
    std::snprintf(size, sizeof(size), "%zx", z.size());
    EXPECT_EQ(
        response_body("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Encoding: gzip\r\n\r\n" +
                      std::string(size) + "\r\n" + z + "\r\n0\r\n\r\n"),
        text);
    // a bomb larger than the cap gives nothing
    EXPECT_EQ(
        response_body("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + gzip(std::string(100000, 'a'), 0),
                      1000),
        "");
}

TEST(list_host_config, parsing)
{
    const list_hosts d{{"a.example", 443}, {"b.example", 443}};
    auto h = parse_list_hosts("127.0.0.1:8443,backup.example", d);
    EXPECT_EQ(h.server.name, "127.0.0.1");
    EXPECT_EQ(h.server.port, 8443);
    EXPECT_EQ(h.fallback.name, "backup.example");
    EXPECT_EQ(h.fallback.port, 443);
    h = parse_list_hosts("[::1]:9000", d);
    EXPECT_EQ(h.server.name, "::1");
    EXPECT_EQ(h.server.port, 9000);
    EXPECT_EQ(h.fallback.name, "b.example");
    h = parse_list_hosts(",x.example:99999", d);
    EXPECT_EQ(h.server.name, "a.example");
    EXPECT_EQ(h.fallback.port, 443);
}

TEST_F(https, request_lines_and_plain_body)
{
    auto server = serve(answer(tls_test_server::response("Content-Type: text/xml", listXml)));
    auto root = get_xml_once("/TavriUploadFile/VK2Max/list_kq3.xml", local(server->port()), quick());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getTagName(), "effect_vk2max_list");
    EXPECT_EQ(server->last_request(), "GET /TavriUploadFile/VK2Max/list_kq3.xml HTTP/1.1\r\n"
                                      "Host: 127.0.0.1:" +
                                          std::to_string(server->port()) +
                                          "\r\n"
                                          "Content-Type: application/x-www-form-urlencoded\r\n"
                                          "Accept: *,*/*\r\n"
                                          "Accept-Language: zh-cn\r\n"
                                          "Accept-Encoding: gzip, deflate\r\n"
                                          "User-Agent: Mozilla/5.0\r\n"
                                          "Connection: close\r\n\r\n");
    EXPECT_EQ(http_request("/p", {"h.example", 443}).substr(0, 35),
              "GET /p HTTP/1.1\r\nHost: h.example\r\nC");
}

TEST_F(https, chunked_body_with_a_name_split_across_reads)
{
    // The first name's three-byte character is cut between two TLS records sent apart.
    const std::string xml = listXml;
    const size_t cut = xml.find("\xe6\xb5\x8b") + 1;
    auto server = serve(
        [&](tls_connection& c)
        {
            c.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n");
            char size[16];
            std::snprintf(size, sizeof(size), "%zx\r\n", xml.size());
            c.send(size + xml.substr(0, cut));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.send(xml.substr(cut) + "\r\n0\r\n\r\n");
        });
    auto root = get_xml_once("/x", local(server->port()), quick());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getChildElement(0)->getStringAttribute("description"),
              juce::String(juce::CharPointer_UTF8("\xe6\xb5\x8b\xe8\xaf\x95")));
}

TEST_F(https, failures_give_nothing)
{
    // missing header end, a body that is not XML, a stalled server, an oversized body, an entity
    // defined in terms of itself, and a processing instruction amid text that the XML parser
    // would loop on forever
    std::vector<tls_test_server::handler> handlers = {
        answer("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n" + listXml),
        answer(tls_test_server::response("", "not xml at all")),
        [](tls_connection& c)
        {
            c.send("HTTP/1.1 200 OK\r\n\r\n<effect_vk2max_list>");
            c.stall();
        },
        answer(tls_test_server::response("", "<a>" + std::string(20000, 'x') + "</a>")),
        answer(tls_test_server::response("", "<!DOCTYPE a [<!ENTITY a \"&a;&a;\">]><a>&a;</a>")),
        answer(tls_test_server::response("", "<?xml version=\"1.0\"?><me>\ne<?x?>\no</me>")),
    };
    auto limits = quick();
    limits.max_response_bytes = 10000;
    for (size_t i = 0; i < handlers.size(); ++i)
    {
        auto server = serve(handlers[i]);
        // A stall without its time-out would hang here until the test's own time limit.
        EXPECT_EQ(get_xml_once("/x", local(server->port()), limits), nullptr) << "case " << i;
    }
}

TEST_F(https, a_well_formed_error_page_is_returned)
{
    auto server = serve(answer(
        tls_test_server::response("", "<html><body>404 Not Found</body></html>", "HTTP/1.1 404 Not Found")));
    auto root = get_xml_once("/x", local(server->port()), quick());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getTagName(), "html");
}

TEST_F(https, a_failing_list_server_sends_the_fetch_to_the_fallback_once)
{
    auto fallback = serve(answer(tls_test_server::response("", listXml)));
    // refused, plain TCP (no handshake), a certificate for another name, one no CA vouches for
    struct bad_server
    {
        const char* what;
        std::string cert; // "" plain TCP; "-" nothing listening
    } cases[] = {{"refused", "-"}, {"no TLS", ""}, {"wrong name", "wrongname"}, {"untrusted", "selfsigned"}};
    int expectedFallbackHits = 0;
    for (auto& c : cases)
    {
        std::unique_ptr<tls_test_server> first;
        int port = refused_port();
        if (c.cert != "-")
        {
            first = serve(answer(tls_test_server::response("", listXml)), c.cert);
            port = first->port();
        }
        auto root = fetch_xml("/x", {local(port), local(fallback->port())}, quick());
        EXPECT_NE(root, nullptr) << c.what;
        EXPECT_EQ(fallback->connections(), ++expectedFallbackHits) << c.what;
    }
    // A good list server: the fallback is not asked.
    auto good = serve(answer(tls_test_server::response("", listXml)));
    EXPECT_NE(fetch_xml("/x", {local(good->port()), local(fallback->port())}, quick()), nullptr);
    EXPECT_EQ(fallback->connections(), expectedFallbackHits);
    // Both failing: nothing, after one try each.
    auto bad = serve(answer(tls_test_server::response("", listXml)), "selfsigned");
    EXPECT_EQ(fetch_xml("/x", {local(refused_port()), local(bad->port())}, quick()), nullptr);
    EXPECT_EQ(bad->connections(), 1);
}

TEST_F(https, host_names_are_checked_and_sent)
{
    addrinfo hints{}, *found = nullptr;
    hints.ai_socktype = SOCK_STREAM;
    ASSERT_EQ(getaddrinfo("localhost", "443", &hints, &found), 0);
    const bool v4First = found->ai_family == AF_INET;
    freeaddrinfo(found);
    if (!v4First) GTEST_SKIP() << "localhost resolves to IPv6 first here";
    auto server = serve(answer(tls_test_server::response("", listXml)));
    EXPECT_NE(get_xml_once("/x", {"localhost", server->port()}, quick()), nullptr);
    EXPECT_EQ(server->last_server_name(), "localhost");
    auto wrong = serve(answer(tls_test_server::response("", listXml)), "wrongname");
    EXPECT_EQ(get_xml_once("/x", {"localhost", wrong->port()}, quick()), nullptr);
}

TEST_F(https, a_stop_ends_the_attempt_and_the_fetch)
{
    auto server = serve([](tls_connection& c) { c.stall(); });
    auto fallback = serve(answer(tls_test_server::response("", listXml)));
    std::atomic<bool> stop{false};
    https_limits limits;
    limits.should_stop = [&] { return stop.load(); };
    std::thread asker(
        [&]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            stop = true;
        });
    // No read time-out is set short here: only the request to stop ends the wait, and no host is
    // tried after it.
    EXPECT_EQ(fetch_xml("/x", {local(server->port()), local(fallback->port())}, limits), nullptr);
    asker.join();
    EXPECT_EQ(fallback->connections(), 0);
}

TEST(https_resolver, a_look_up_that_never_answers_is_given_up)
{
    // Name look-ups cannot be interrupted: the wait for one ends at its time limit or at a stop.
    auto hung = [] { std::this_thread::sleep_for(std::chrono::seconds(3)); };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(run_with_time_limit(hung, 300, nullptr));
    EXPECT_FALSE(run_with_time_limit(hung, 60000, [] { return true; }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(run_with_time_limit([] {}, 300, nullptr));
}
