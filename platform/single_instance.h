#pragma once
#include <functional>
#include <juce_core/juce_core.h>

// One running copy per user. Windows hands a second start to the running copy through the
// framework; here a lock file and a local socket in the user's runtime folder do, so another
// user's copy or lock file never stands in the way.
namespace platform
{
// True where the framework's own single-instance lock does the job (Windows). Its lock here is
// one machine-wide file that another user's copy can make unusable.
#if JUCE_WINDOWS
constexpr bool framework_single_instance = true;
#else
constexpr bool framework_single_instance = false;
#endif

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
    bool notify_running_copy() const;
    // Listens on the socket; false only when another copy already listens there.
    bool listen();

    juce::String socketPath, lockPath;
    std::function<void()> callback;
    int lockFd = -1, listenFd = -1;
    bool otherCopy = false;
};

// The folder for this user's sockets and locks: $XDG_RUNTIME_DIR, else a private folder in /tmp
// (made 0700, used only when this user owns it); empty when neither can be had.
juce::File user_runtime_folder();
} // namespace platform
