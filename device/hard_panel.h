#pragma once
#include "device/devbridge_api.h"
#include "device/device_link_listener.h"
#include "device/ui_para.h"
#include "skin/mode_btn_lookfeel.h"
#include <array>
#include <deque>
#include <juce_gui_basics/juce_gui_basics.h>

// The device link: binds the device library, turns device events into work on the message
// thread, keeps the record and the buffers the library fills. It is also the quick page with
// the six effect mode buttons.
class hard_panel : public juce::Component, public juce::Button::Listener, public juce::MessageListener
{
  public:
    enum connection
    {
        not_connected = 0,
        connecting = 1,
        connected = 2
    };
    static constexpr int info_size = 250;

    explicit hard_panel(device_link_listener& parent,
                        const devbridge_api& api = devbridge_api::process_binding());
    ~hard_panel() override;

    void handleMessage(const juce::Message& message) override;
    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;

    void show_mode();
    // Effect mode M's name (0-5), which is also its image folder.
    static const char* mode_name(int m);
    // A click on mode button M: one change transaction, nothing when M is above 5 or current.
    void choose_mode(int m);
    void handle_event(int code);

    ui_para& record() { return store.record(); }
    bool change_ui_para(const std::function<void(ui_para&)>& edit) { return store.change(edit); }
    void send_ui_para() { store.send(); }

    int connection_state() const { return state; }
    const devbridge_api& library() const { return api; }
    const uint8_t* device_info() const { return deviceInfo.data(); }
    const uint8_t* linked_device_info() const { return linkedInfo.data(); }
    juce::ToggleButton& mode_button(int index) { return *modeButtons[(size_t)index]; }

    // The callback registered with the library: posts "hid_callback" to the live device link.
    static void event_callback(int value);

  private:
    void dispatch_event(int code);
    void show_timeout_alert();

    device_link_listener& listener;
    const devbridge_api api; // a copy: the binding outlives nothing it was given
    ui_para_store store;
    std::array<uint8_t, info_size> deviceInfo{}, linkedInfo{};
    int updateValue = 0;
    std::array<uint8_t, 20> update1{}, update2{};
    std::array<uint8_t, 1024> update3{};
    int state = not_connected;
    std::deque<int> pendingEvents;
    bool handlingEvent = false;
    std::array<mode_btn_lookfeel, 6> looks;
    std::array<std::unique_ptr<juce::ToggleButton>, 6> modeButtons;
};

// The process-wide device link used by the other pages; null while none exists.
hard_panel* the_hard_panel();
void set_the_hard_panel(hard_panel* panel);
// Change transaction for pages that reach the device link through the process-wide pointer.
bool change_ui_para(const std::function<void(ui_para&)>& edit);
