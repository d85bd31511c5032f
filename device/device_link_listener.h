#pragma once
#include <functional>
#include <juce_events/juce_events.h>

// What the device link tells the main page: direct calls, plus the posted command words
// "hard_have_new_para", "hard_have_new_connect" and "hard_have_battery_para" (level "1"-"6").
class device_link_listener : public juce::MessageListener
{
  public:
    virtual void on_device_connecting() = 0;
    virtual void on_device_connected() = 0;
    virtual void on_device_lost() = 0;
};

// Work of higher layers that the device link triggers; unset hooks do nothing.
struct device_link_hooks
{
    std::function<void()> after_device_info;  // the locale prompt, after every device information event
    std::function<void()> close_audio_device; // the recorder's shared audio device, when the device is lost
};
device_link_hooks& device_hooks();
