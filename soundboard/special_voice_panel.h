#pragma once
#include "skin/image_looks.h"
#include "skin/skin_controls.h"
#include "soundboard/enum_panel.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The sound board page: hotkeys on or off, the sound-board volume, import of MP3 files, and
// the engine's grid of pads in a scrolling viewport.
class special_voice_panel : public juce::Component,
                            public juce::Button::Listener,
                            public juce::Slider::Listener
{
  public:
    special_voice_panel();
    ~special_voice_panel() override;

    void buttonClicked(juce::Button* button) override;
    void sliderValueChanged(juce::Slider* slider) override;
    // Copies the files into "\sound\" (replacing same names) and rebuilds the grid when any.
    void import_files(const juce::Array<juce::File>& files);

    enum_panel& engine() { return *soundEngine; }
    juce::Viewport& viewport() { return padView; }
    juce::Slider& volume_slider() { return volumeSlider; }
    juce::Label& volume_label() { return volumeLabel; }
    juce::Button& on_switch() { return onSwitch; }
    juce::Button& off_switch() { return offSwitch; }
    juce::Button& import_button() { return importButton; }

  private:
    juce::Viewport padView;
    std::unique_ptr<enum_panel> soundEngine;
    Linear_slider_look_v1 sliderLook;
    juce::Slider volumeSlider{"new slider"};
    juce::Label volumeLabel;
    skin_toggle onSwitch{"on\\"}, offSwitch{"off\\"}, importButton{"import\\"};
};
