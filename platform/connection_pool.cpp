#include "platform/connection_pool.h"
#include <atomic>

namespace platform
{
struct connection_pool::client : juce::Thread
{
    client(std::unique_ptr<local_connection> c, const single_instance::connection_handler& handler)
        : juce::Thread("command client"), connection(std::move(c)), serve(handler)
    {
    }
    ~client() override { stopThread(5000); }

    void run() override
    {
        if (serve) serve(*connection);
        // Closing may drop what the caller has not read yet (a Windows pipe does): wait a
        // little for it to hang up.
        const auto deadline = juce::Time::getMillisecondCounter() + 2000;
        char rest[64];
        while (juce::Time::getMillisecondCounter() < deadline &&
               connection->read(rest, sizeof(rest), (int)(deadline - juce::Time::getMillisecondCounter())) >
                   0)
        {
        }
        connection.reset();
        done = true;
    }

    std::unique_ptr<local_connection> connection;
    const single_instance::connection_handler& serve;
    std::atomic<bool> done{false};
};

connection_pool::connection_pool(const single_instance::connection_handler& handler) : serve(handler) {}

connection_pool::~connection_pool() = default;

bool connection_pool::add(std::unique_ptr<local_connection> connection)
{
    clients.remove_if([](const std::unique_ptr<client>& c) { return c->done.load(); });
    if (clients.size() >= (size_t)max_connections) return false;
    clients.push_back(std::make_unique<client>(std::move(connection), serve));
    clients.back()->startThread();
    return true;
}
} // namespace platform
