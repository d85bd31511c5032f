#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// Toggle buttons drawn from four state images: disabled, on, over, normal (first match wins).
class mode_btn_lookfeel : public juce::LookAndFeel_V3
{
  public:
    void set_images(const juce::String& over, const juce::String& on, const juce::String& normal,
                    const juce::String& disabled);
    void drawToggleButton(juce::Graphics&, juce::ToggleButton&, bool isMouseOver, bool isButtonDown) override;
    void drawTickBox(juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked,
                     bool isEnabled, bool isMouseOverButton, bool isButtonDown) override;

  private:
    juce::Image overImage, onImage, normalImage, disabledImage;
};
