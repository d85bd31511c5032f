#pragma once
#include "device/ui_para.h"
#include "skin/image_looks.h"
#include "skin/skin_controls.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The EQ page: eleven voice presets and two EQ levels.
class tavri_eq3_set : public juce::Component, public juce::Slider::Listener, public juce::Button::Listener
{
  public:
    tavri_eq3_set();
    ~tavri_eq3_set() override;
    void paint(juce::Graphics& g) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;
    // Shows the record of the device link; does nothing while there is none.
    void redraw();

    skin_toggle& preset_button(int index) { return *presets[(size_t)index]; }
    juce::Slider& level_slider(int index) { return *levels[(size_t)index].slider; }
    juce::Label& level_label(int index) { return levels[(size_t)index].label; }

  private:
    struct level
    {
        std::unique_ptr<juce::Slider> slider;
        juce::Label label;
        uint8_t ui_para::*field = nullptr;
    };
    void show_preset(int preset);

    std::array<Linear_slider_look_v5, 2> looks;
    std::array<level, 2> levels;
    std::array<std::unique_ptr<skin_toggle>, 11> presets;
};
