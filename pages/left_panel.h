#pragma once
#include "device/device_link_listener.h"
#include "device/hard_panel.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The main control page. It owns the device link and publishes it to the other pages.
class left_panel : public juce::Component, public device_link_listener
{
  public:
    explicit left_panel(const devbridge_api& api = devbridge_api::process_binding());
    ~left_panel() override;

    void handleMessage(const juce::Message& message) override;
    void on_device_connecting() override;
    void on_device_connected() override;
    void on_device_lost() override;
    void paint(juce::Graphics& g) override;

    hard_panel& device_link() { return *hardPanel; }
    juce::String status_text() const { return status.getText(); }

  private:
    void show_status();

    juce::Label status;
    std::unique_ptr<hard_panel> hardPanel;
};
