// A local HTTPS server for the end-to-end tests: answers every request with one file.
//   tls_test_server CERT KEY BODY_FILE PORT_FILE [DELAY_FILE]
// Writes its port to PORT_FILE, logs one line per request to standard output and runs until
// it is terminated. Before each answer it waits the milliseconds written in DELAY_FILE, if any,
// so a test can slow it down while the panel keeps the same host.
#include "tests/tls_test_server.h"
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace
{
volatile std::sig_atomic_t stop = 0;
}

int main(int argc, char** argv)
{
    if (argc < 5)
    {
        std::fprintf(stderr, "usage: %s CERT KEY BODY_FILE PORT_FILE [DELAY_FILE]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[3], std::ios::binary);
    std::stringstream body;
    body << in.rdbuf();
    const std::string response = tls_test_server::response("Content-Type: text/xml", body.str());
    const std::string delayFile = argc > 5 ? argv[5] : "";

    tls_test_server server(argv[1], argv[2],
                           [&](tls_connection& c)
                           {
                               std::printf("request\n");
                               std::fflush(stdout);
                               int delayMs = 0;
                               if (!delayFile.empty()) std::ifstream(delayFile) >> delayMs;
                               for (int waited = 0; waited < delayMs && stop == 0; waited += 20)
                                   std::this_thread::sleep_for(std::chrono::milliseconds(20));
                               c.send(response);
                           });
    std::signal(SIGTERM, [](int) { stop = 1; });
    std::signal(SIGINT, [](int) { stop = 1; });
    std::ofstream(argv[4]) << server.port() << "\n";
    while (stop == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return 0;
}
