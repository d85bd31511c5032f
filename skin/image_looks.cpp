#include "skin/image_looks.h"
#include "skin/image_root.h"

void hard_set_look::set_images(const juce::String& normal, const juce::String& over,
                               const juce::String& pressed, const juce::String& disabled)
{
    normalImage = skin::image(normal);
    overImage = skin::image(over);
    pressedImage = skin::image(pressed);
    disabledImage = skin::image(disabled);
}

void hard_set_look::drawToggleButton(juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver,
                                     bool isButtonDown)
{
    const float w = (float)button.getWidth(), h = (float)button.getHeight();
    drawTickBox(g, button, 4.0f, (h - w) * 0.5f, w, h, button.getToggleState(), button.isEnabled(),
                isMouseOver, isButtonDown);
}

void hard_set_look::drawTickBox(juce::Graphics& g, juce::Component&, float, float, float, float, bool,
                                bool isEnabled, bool isMouseOverButton, bool isButtonDown)
{
    const auto& img = !isEnabled          ? disabledImage
                      : isButtonDown      ? pressedImage
                      : isMouseOverButton ? overImage
                                          : normalImage;
    g.drawImageAt(img, 0, 0);
}

void flat_btn_look2::set_images(const juce::String& over, const juce::String& pressed,
                                const juce::String& normal, const juce::String& disabled)
{
    overImage = skin::image(over);
    pressedImage = skin::image(pressed);
    normalImage = skin::image(normal);
    disabledImage = skin::image(disabled);
}

void flat_btn_look2::drawButtonBackground(juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                          bool isMouseOver, bool isButtonDown)
{
    const auto& img = !button.isEnabled() ? disabledImage
                      : isButtonDown      ? pressedImage
                      : isMouseOver       ? overImage
                                          : normalImage;
    g.drawImageAt(img, 0, 0);
}

juce::Rectangle<int> flat_btn_look2::text_area(int width, int height, bool connectedLeft, bool connectedRight)
{
    const float fontHeight = juce::jmin((float)height * 0.7f, 17.0f);
    const int yIndent = juce::jmin(4, juce::roundToInt((float)height * 0.3f));
    const int cornerSize = juce::jmin(width, height) / 2;
    const int limit = juce::roundToInt(fontHeight * 0.5f);
    const int leftIndent = juce::jmin(limit, 2 + cornerSize / (connectedLeft ? 4 : 2));
    const int rightIndent = juce::jmin(limit, 2 + cornerSize / (connectedRight ? 4 : 2));
    return {leftIndent, height <= 20 ? yIndent + 2 : yIndent, width - leftIndent - rightIndent,
            height - yIndent * 2};
}

void flat_btn_look2::drawButtonText(juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    g.setFont(juce::jmin((float)button.getHeight() * 0.7f, 17.0f));
    g.setColour(button
                    .findColour(button.getToggleState() ? juce::TextButton::textColourOnId
                                                        : juce::TextButton::textColourOffId)
                    .withMultipliedAlpha(button.isEnabled() ? 1.0f : 0.5f));
    const auto area = text_area(button.getWidth(), button.getHeight(), button.isConnectedOnLeft(),
                                button.isConnectedOnRight());
    g.drawFittedText(button.getButtonText(), area, juce::Justification::centred, 2, 0.7f);
}

void flat_btn_look::drawButtonBackground(juce::Graphics& g, juce::Button&, const juce::Colour&,
                                         bool isMouseOver, bool isButtonDown)
{
    g.fillAll(juce::Colours::white.withAlpha(0.4f));
    if (isMouseOver) g.fillAll(juce::Colours::white.withAlpha(0.1f));
    if (isButtonDown) g.fillAll(juce::Colours::black.withAlpha(0.1f));
}

void combox_look_blue::set_images(const juce::String& normal, const juce::String& pressed,
                                  const juce::String& unused, const juce::String& disabled)
{
    normalImage = skin::image(normal);
    pressedImage = skin::image(pressed);
    unusedImage = skin::image(unused);
    disabledImage = skin::image(disabled);
}

void combox_look_blue::drawComboBox(juce::Graphics& g, int, int, bool isButtonDown, int, int, int, int,
                                    juce::ComboBox& box)
{
    const auto& img = !box.isEnabled() ? disabledImage : isButtonDown ? pressedImage : normalImage;
    g.drawImageAt(img, 0, 0);
}

juce::Font combox_look_blue::getComboBoxFont(juce::ComboBox& box)
{
    return juce::Font(juce::jmin((float)box.getHeight() * 0.85f, 16.0f));
}

juce::Point<int> image_slider_look::thumb_origin(float sliderPos) const
{
    const int along = (int)(sliderPos - (float)shape.thumbOffset);
    return shape.vertical ? juce::Point<int>(0, along) : juce::Point<int>(along, 0);
}

void image_slider_look::drawLinearSlider(juce::Graphics& g, int x, int y, int width, int height,
                                         float sliderPos, float minSliderPos, float maxSliderPos,
                                         juce::Slider::SliderStyle style, juce::Slider& slider)
{
    drawLinearSliderBackground(g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
    drawLinearSliderThumb(g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos, style, slider);
}

void image_slider_look::drawLinearSliderBackground(juce::Graphics& g, int, int, int, int, float, float, float,
                                                   juce::Slider::SliderStyle, juce::Slider& slider)
{
    const juce::String folder(shape.folder);
    if (shape.stackedTrack)
    {
        g.drawImageAt(skin::image(folder + "1.png"), 0, 0);
        if (slider.isEnabled()) g.drawImageAt(skin::image(folder + "2.png"), 0, 0);
        return;
    }
    g.drawImageAt(skin::image(folder + (slider.isEnabled() ? "2.png" : "1.png")), shape.trackX, shape.trackY);
}

void image_slider_look::drawLinearSliderThumb(juce::Graphics& g, int x, int y, int width, int height,
                                              float sliderPos, float minSliderPos, float maxSliderPos,
                                              juce::Slider::SliderStyle, juce::Slider& slider)
{
#if JUCE_DEBUG
    if (shape.debugLine)
        juce::Logger::outputDebugString(
            juce::String::formatted("x(%d),y(%d),w(%d),h(%d),pos(%d),min(%d),max(%d)", x, y, width, height,
                                    (int)sliderPos, (int)minSliderPos, (int)maxSliderPos));
#else
    juce::ignoreUnused(x, y, width, height, minSliderPos, maxSliderPos);
#endif
    const char* name = !slider.isEnabled()              ? "th1.png"
                       : slider.isMouseButtonDown()     ? "th4.png"
                       : slider.isMouseOverOrDragging() ? "th3.png"
                                                        : "th2.png";
    const auto at = thumb_origin(sliderPos);
    g.drawImageAt(skin::image(juce::String(shape.folder) + name), at.x, at.y);
}
