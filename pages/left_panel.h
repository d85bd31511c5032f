#pragma once
#include "device/device_link_listener.h"
#include "device/hard_panel.h"
#include "pages/tavri_about_set.h"
#include "pages/tavri_eq3_set.h"
#include "pages/tavri_led_set.h"
#include "presets/tavri_zdy_set.h"
#include "recorder/rec_panel.h"
#include "recorder/shared_audio_device.h"
#include "skin/image_looks.h"
#include "skin/skin_controls.h"
#include "soundboard/special_voice_panel.h"
#include <juce_gui_basics/juce_gui_basics.h>

// Work of parts that sit beside the main page (the recorder); unset
// hooks do nothing.
struct main_page_hooks
{
    std::function<void(int level)> battery_shown; // 1-6 for a wireless unit, 0 when none shows
    std::function<void()> reopen_audio_device;    // the shared audio device, on the newly connected device
    std::function<void()> stop_recording;         // the recorder's stop-if-recording
};
main_page_hooks& main_hooks();

// The main control page: connection display, sound controls, the wireless section and the
// navigation between the six pages of the content area. It owns the device link.
class left_panel : public juce::Component,
                   public device_link_listener,
                   public juce::Slider::Listener,
                   public juce::Button::Listener,
                   public juce::Timer
{
  public:
    explicit left_panel(const devbridge_api& api = devbridge_api::process_binding());
    ~left_panel() override;

    enum page
    {
        quick_page = 128,
        recorder_page = 1,
        light_page = 2,
        eq_page = 3,
        library_page = 4,
        info_page = 5
    };

    void handleMessage(const juce::Message& message) override;
    void on_device_connecting() override;
    void on_device_connected() override;
    void on_device_lost() override;
    void paint(juce::Graphics& g) override;
    void mouseDoubleClick(const juce::MouseEvent& e) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;
    void timerCallback() override;

    void show_page(int code);
    void set_controls_enabled(bool enabled);
    void refresh_from_record(bool keepVolumeMemories);
    void show_wireless_state(const ui_para& record);
    void show_battery(const juce::String& level);
    // 1 wired (KQ3, KQ3X), 2 wireless (LN7, LN5), else 0; exact names.
    static int model_kind();

    // Changes several bytes (index, value) in one change transaction; a volume acts as moving
    // its slider. The pages then show the record. Returns the bytes that changed.
    std::vector<int> set_fields(const std::vector<std::pair<int, int>>& fields);
    // Mute toggle of channel 1-4 to ON, as a click on it when that changes its state.
    void set_mute(int channel, bool on);
    bool muted(int channel) const { return volumes[(size_t)(channel - 1)].mute->getToggleState(); }

    // Content pages by code 1-5 are placed here as they are created; null until then.
    void set_page(int code, juce::Component* pageComponent);

    // For tests and the screenshot tool.
    hard_panel& device_link() { return *hardPanel; }
    tavri_about_set& info() { return *aboutPage; }
    tavri_eq3_set& eq() { return *eqPage; }
    tavri_led_set& light() { return *ledPage; }
    tavri_zdy_set& library() { return *zdyPage; }
    special_voice_panel& sound_board() { return *soundPage; }
    recPanel& recorder() { return recPage->recorder(); }
    int page_code() const { return pageCode; }
    skin_picture& strip() { return statusStrip; }
    skin_picture& picture() { return devicePicture; }
    skin_picture& head_image() { return headState; }
    skin_picture& receiver_image() { return mainState; }
    skin_toggle& battery() { return batteryIcon; }
    int battery_look() const { return batteryLevel; }
    skin_toggle& nav_button(int index) { return *navButtons[(size_t)index]; }
    juce::Slider& volume_slider(int channel) { return *volumes[(size_t)channel].slider; }
    juce::Label& volume_label(int channel) { return volumes[(size_t)channel].label; }
    skin_toggle& mute(int channel) { return *volumes[(size_t)channel].mute; }
    int volume_memory(int channel) const { return volumes[(size_t)channel].memory; }
    skin_toggle& switch_on(int index) { return *switches[(size_t)index].on; }
    skin_toggle& switch_off(int index) { return *switches[(size_t)index].off; }
    skin_toggle& ducking_switch() { return duckingSwitch; }
    skin_toggle& ducking_level(int index) { return *duckingLevels[(size_t)index]; }
    skin_toggle& denoise_switch() { return denoiseSwitch; }
    skin_toggle& denoise_kind(int index) { return *denoiseKinds[(size_t)index]; }
    skin_toggle& head_on() { return headOn; }
    skin_toggle& head_off() { return headOff; }
    skin_push& head_pair() { return headPair; }
    skin_push& receiver_pair() { return mainPair; }

  private:
    struct volume_channel
    {
        std::unique_ptr<juce::Slider> slider;
        juce::Label label;
        std::unique_ptr<skin_toggle> mute;
        uint8_t memory = 100; // above 8: not set
        uint8_t ui_para::*field = nullptr;
    };
    struct switch_pair
    {
        std::unique_ptr<skin_toggle> on, off;
        uint8_t ui_para::*field = nullptr;
    };

    bool change(const std::function<void(ui_para&)>& edit) { return hardPanel->change_ui_para(edit); }
    void show_sound_controls(const ui_para& record, bool keepVolumeMemories);
    void show_link(const ui_para& record);
    static void show_switch(skin_toggle& onButton, skin_toggle& offButton, bool on);
    // A section's switch and its option buttons, enabled only while the section is on.
    template <size_t N>
    static void show_section(skin_toggle& sectionSwitch, std::array<std::unique_ptr<skin_toggle>, N>& options,
                             bool on);
    void show_ducking_level(int level);
    void show_denoise_kind(int index);
    void redraw_info();
    void show_strip(const juce::String& subPath) { statusStrip.show(subPath); }
    void place_pages();

    std::array<Linear_slider_look, 4> sliderLooks;
    std::array<volume_channel, 4> volumes;
    std::array<switch_pair, 3> switches;
    skin_toggle duckingSwitch{"tog\\"}, denoiseSwitch{"tog\\"};
    std::array<std::unique_ptr<skin_toggle>, 3> duckingLevels;
    std::array<std::unique_ptr<skin_toggle>, 4> denoiseKinds;
    uint8_t duckingMemory = 0;
    uint8_t denoiseMemory[2] = {0, 0};

    std::array<std::unique_ptr<skin_toggle>, 6> navButtons;
    skin_picture statusStrip, devicePicture, headState, mainState;
    skin_toggle batteryIcon;
    int batteryLevel = 1;
    skin_toggle headOn{"on\\"}, headOff{"off\\"};
    skin_push headPair{"pair\\"}, mainPair{"pair\\"};

    uint8_t pageCode = 128;
    int animFrame = 0;

    std::unique_ptr<hard_panel> hardPanel;
    std::unique_ptr<tavri_eq3_set> eqPage;
    std::unique_ptr<tavri_led_set> ledPage;
    std::unique_ptr<tavri_zdy_set> zdyPage;
    std::unique_ptr<record_panel> recPage;
    std::unique_ptr<tavri_about_set> aboutPage;
    std::unique_ptr<special_voice_panel> soundPage;
    std::array<juce::Component*, 6> pages{}; // by code: 0 the quick page, 1-5 the others
};
