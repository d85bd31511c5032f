#pragma once
#include <functional>
#include <juce_core/juce_core.h>
#include <memory>

// One running copy per user, and the channel on which later starts of the same user talk to it.
// Another user's copy or lock never stands in the way, and another user cannot use the channel
// (the framework's own lock is machine-wide on both systems: a file in /var/tmp, a global mutex on
// Windows).
// Linux: a lock file and a local socket (mode 0600, peer checked) in the user's runtime folder.
// Windows: a mutex and a named pipe whose names hold the user's security identifier, the pipe
// open to that user only.
namespace platform
{
// One end of a connection between a later start and the running copy.
class local_connection
{
  public:
    virtual ~local_connection() = default;
    // Reads up to SIZE bytes, waiting at most timeoutMs; 0 at the end of the data, -1 on an
    // error, a time-out or when the running copy ends.
    virtual int read(void* buffer, int size, int timeoutMs) = 0;
    // Writes all of DATA; false when the other end is gone.
    virtual bool write(const void* data, int size) = 0;
    // True once the running copy is ending: a handler that waits must give up.
    virtual bool stopping() const { return false; }
};

class single_instance
{
  public:
    // Runs on a thread of its own for each later start that connects (at most a few at once;
    // more are turned away), so that a slow or silent one never holds up the others.
    using connection_handler = std::function<void(local_connection&)>;

    // Takes this user's lock and listens, unless another copy holds it.
    single_instance(const juce::String& appName, connection_handler onConnection);
    ~single_instance();
    // True when another copy runs (or is starting): this start must end.
    bool another_copy_runs() const { return otherCopy; }

  private:
    struct state; // the system's lock and channel
    std::unique_ptr<state> d;
    bool otherCopy = false;
};

// Connects to this user's running copy; a copy that holds the lock but does not listen yet gets
// up to waitMs to start listening. Null when no copy runs.
std::unique_ptr<local_connection> connect_to_running_copy(const juce::String& appName, int waitMs);
} // namespace platform
