#pragma once
#include "presets/effect_preset.h"
#include "skin/image_looks.h"
#include "skin/skin_controls.h"
#include <atomic>
#include <juce_gui_basics/juce_gui_basics.h>

// The effect library page: a selector of the online presets that applies the chosen one at
// once, the refresh button that downloads the online list on this page's own thread, the save
// button, and two on/off pairs on the device record. (A Component is already a MouseListener.)
class tavri_zdy_set : public juce::Component,
                      public juce::ComboBox::Listener,
                      public juce::Button::Listener,
                      public juce::Thread
{
  public:
    tavri_zdy_set();
    ~tavri_zdy_set() override;

    void paint(juce::Graphics& g) override;
    void buttonClicked(juce::Button* button) override;
    void comboBoxChanged(juce::ComboBox* box) override;
    // The download of the online list.
    void run() override;

    // Sends selector entry INDEX (from 0) to the device and shows it chosen; false when there is
    // no such entry or no device link.
    bool apply_entry(int index);
    // The first selector entry named NAME, or -1.
    int entry_named(const juce::String& name) const;

    // Copies the preset list into the selector; only with the message thread held.
    void rebuild_selector();
    // Shows the record of the device link; does nothing while there is none.
    void sync_switches();
    // The device-dependent controls: refresh, save and the selector.
    void set_controls_enabled(bool enabled);

    // For tests.
    juce::ComboBox& selector() { return presetSelector; }
    juce::Button& refresh_button() { return refreshButton; }
    juce::Button& save_button() { return saveButton; }
    skin_toggle& switch_a_on() { return switchAOn; }
    skin_toggle& switch_a_off() { return switchAOff; }
    skin_toggle& switch_b_on() { return switchBOn; }
    skin_toggle& switch_b_off() { return switchBOff; }
    const preset_list& presets() const { return presetList; }
    const preset_list& selector_presets() const { return selectorPresets; }
    const effect_preset& current() const { return currentPreset; }
    bool downloading() const { return downloadingFlag; }

  private:
    combox_look_blue selectorLook;
    skin_push refreshButton{"refresh\\"}, saveButton{"saveSelf\\"};
    juce::ComboBox presetSelector;
    skin_toggle switchAOn{"on\\"}, switchAOff{"off\\"}, switchBOn{"on\\"}, switchBOff{"off\\"};

    effect_preset currentPreset;
    preset_list selectorPresets;
    preset_list presetList;
    std::atomic<bool> downloadingFlag{false};
};
