#pragma once
#include "platform/single_instance.h"
#include <list>

namespace platform
{
// The callers the channel is serving: each on a thread of its own ("command client"), a few at
// once. Used by the channel's listening thread only.
class connection_pool
{
  public:
    static constexpr int max_connections = 8;
    explicit connection_pool(const single_instance::connection_handler& handler);
    // Waits for every caller's thread; their connections must see stopping() first.
    ~connection_pool();

    // Serves CONNECTION; false (and it is closed) when too many are being served.
    bool add(std::unique_ptr<local_connection> connection);

  private:
    struct client;
    const single_instance::connection_handler& serve;
    std::list<std::unique_ptr<client>> clients;
};
} // namespace platform
