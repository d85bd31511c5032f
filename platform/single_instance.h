#pragma once
#include <functional>
#include <juce_core/juce_core.h>

// Hands a second start to the running copy. Windows delivers this through the framework;
// here a local socket per user and application name carries it.
namespace platform
{
// True when a running copy was found and told to show itself.
bool notify_running_instance(const juce::String& appName);

// Listens for later starts; the callback runs on the message thread.
class instance_listener
{
  public:
    instance_listener(const juce::String& appName, std::function<void()> onAnotherStart);
    ~instance_listener();

  private:
    int fd = -1;
    juce::String path;
    std::function<void()> callback;
};
} // namespace platform
