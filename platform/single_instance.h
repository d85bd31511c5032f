#pragma once
#include <functional>
#include <juce_core/juce_core.h>
#include <memory>

// One running copy per user: a second start of the same user tells the running copy to show
// itself and ends. Another user's copy or lock never stands in the way (the framework's own lock
// is machine-wide on both systems: a file in /var/tmp, a global mutex on Windows).
// Linux: a lock file and a local socket in the user's runtime folder. Windows: a mutex and a
// named pipe whose names hold the user's security identifier.
namespace platform
{
class single_instance
{
  public:
    // Tells a running copy of this user to show itself; when there is none, takes the lock and
    // listens for later starts (the callback runs on the message thread).
    single_instance(const juce::String& appName, std::function<void()> onAnotherStart);
    ~single_instance();
    // True when another copy runs: it was told to show itself, and this start must end.
    bool another_copy_runs() const { return otherCopy; }

  private:
    struct state; // the system's lock and channel
    std::unique_ptr<state> d;
    bool otherCopy = false;
};
} // namespace platform
