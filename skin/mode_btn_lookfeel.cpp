#include "skin/mode_btn_lookfeel.h"
#include "skin/image_root.h"

void mode_btn_lookfeel::set_images(const juce::String& over, const juce::String& on,
                                   const juce::String& normal, const juce::String& disabled)
{
    overImage = skin::image(over);
    onImage = skin::image(on);
    normalImage = skin::image(normal);
    disabledImage = skin::image(disabled);
}

void mode_btn_lookfeel::drawToggleButton(juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver,
                                         bool isButtonDown)
{
    auto fontSize = juce::jmin(15.0f, (float)button.getHeight() * 0.75f);
    drawTickBox(g, button, 0.0f, 0.0f, 128.0f, 30.0f, button.getToggleState(), button.isEnabled(),
                isMouseOver, isButtonDown);
    g.setColour(button.findColour(juce::ToggleButton::textColourId));
    g.setFont(fontSize);
    if (!button.isEnabled()) g.setOpacity(0.5f);
}

void mode_btn_lookfeel::drawTickBox(juce::Graphics& g, juce::Component&, float, float, float, float,
                                    bool ticked, bool isEnabled, bool isMouseOverButton, bool)
{
    const auto& img = !isEnabled          ? disabledImage
                      : ticked            ? onImage
                      : isMouseOverButton ? overImage
                                          : normalImage;
    g.drawImageAt(img, 0, 0);
}
