#pragma once
#include "device/ui_para.h"
#include "skin/image_looks.h"
#include "skin/skin_controls.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The RGB light page: mode, colour or Breath colour set, and brightness.
class tavri_led_set : public juce::Component, public juce::Slider::Listener, public juce::Button::Listener
{
  public:
    tavri_led_set();
    ~tavri_led_set() override;
    void paint(juce::Graphics& g) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;
    // Shows the record of the device link; does nothing while there is none.
    void redraw();
    void show_light_buttons(const ui_para& record);

    // Colour buttons in screen order: White, SkyBlue, Green, Blue, Yellow, Purple, Red, Orange.
    skin_toggle& colour_button(int index) { return *colours[(size_t)index]; }
    skin_toggle& mode_button(int mode) { return *modes[(size_t)mode]; }
    juce::Slider& brightness() { return slider; }
    juce::Label& brightness_label() { return label; }

  private:
    std::array<std::unique_ptr<skin_toggle>, 4> modes;
    std::array<std::unique_ptr<skin_toggle>, 8> colours;
    Linear_slider_look_v4 sliderLook;
    juce::Slider slider{juce::Slider::LinearHorizontal, juce::Slider::NoTextBox};
    juce::Label label;
};
