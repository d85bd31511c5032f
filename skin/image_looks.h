#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// Image looks: each control shows one picture per state, drawn unscaled at its top-left corner.

// Push-like toggle buttons (pairing, refresh): the toggle state never shows.
class hard_set_look : public juce::LookAndFeel_V3
{
  public:
    void set_images(const juce::String& normal, const juce::String& over, const juce::String& pressed,
                    const juce::String& disabled);
    void drawToggleButton(juce::Graphics&, juce::ToggleButton&, bool isMouseOver, bool isButtonDown) override;
    void drawTickBox(juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked,
                     bool isEnabled, bool isMouseOverButton, bool isButtonDown) override;

  private:
    juce::Image normalImage, overImage, pressedImage, disabledImage;
};

// Text buttons drawn on images (sound pads).
class flat_btn_look2 : public juce::LookAndFeel_V3
{
  public:
    void set_images(const juce::String& over, const juce::String& pressed, const juce::String& normal,
                    const juce::String& disabled);
    void drawButtonBackground(juce::Graphics&, juce::Button&, const juce::Colour&, bool isMouseOver,
                              bool isButtonDown) override;
    void drawButtonText(juce::Graphics&, juce::TextButton&, bool isMouseOver, bool isButtonDown) override;
    // The area the text is fitted into, for a button of this size and edge connections.
    static juce::Rectangle<int> text_area(int width, int height, bool connectedLeft, bool connectedRight);

  private:
    juce::Image normalImage, overImage, pressedImage, disabledImage;
};

// A light wash over plain buttons.
class flat_btn_look : public juce::LookAndFeel_V3
{
  public:
    void drawButtonBackground(juce::Graphics&, juce::Button&, const juce::Colour&, bool isMouseOver,
                              bool isButtonDown) override;
};

class combox_look_blue : public juce::LookAndFeel_V3
{
  public:
    void set_images(const juce::String& normal, const juce::String& pressed, const juce::String& unused,
                    const juce::String& disabled);
    void drawComboBox(juce::Graphics&, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                      int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont(juce::ComboBox&) override;

  private:
    juce::Image normalImage, pressedImage, unusedImage, disabledImage;
};

// Sliders drawn from a folder's track ("1.png" disabled, "2.png" enabled) and thumb images
// ("th1.png" disabled, "th2.png" normal, "th3.png" over, "th4.png" dragged), fetched at paint.
class image_slider_look : public juce::LookAndFeel_V3
{
  public:
    struct geometry
    {
        const char* folder;
        bool vertical;
        int trackX, trackY; // where the track is drawn
        int thumbOffset;    // the thumb is drawn at position - offset along the slider
        bool debugLine;     // writes the thumb geometry to standard output at each paint
        bool stackedTrack;  // "1.png" always, "2.png" over it when enabled
    };
    explicit image_slider_look(geometry g) : shape(g) {}

    void drawLinearSlider(juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                          float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                          juce::Slider&) override;
    void drawLinearSliderBackground(juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                                    float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                                    juce::Slider&) override;
    void drawLinearSliderThumb(juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                               float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                               juce::Slider&) override;
    int getSliderThumbRadius(juce::Slider&) override { return shape.thumbOffset; }

    // Where the thumb image goes for a thumb at this position.
    juce::Point<int> thumb_origin(float sliderPos) const;

  private:
    geometry shape;
};

class Linear_slider_look : public image_slider_look
{
  public:
    Linear_slider_look() : image_slider_look({"volVsliser\\", true, 0, 6, 6, true, false}) {}
};
class Linear_slider_look_v1 : public image_slider_look
{
  public:
    Linear_slider_look_v1() : image_slider_look({"volHsliser\\", false, 6, 0, 6, true, false}) {}
};
class Linear_slider_look_v4 : public image_slider_look
{
  public:
    Linear_slider_look_v4() : image_slider_look({"volBIGsliser\\", false, 6, 0, 6, false, false}) {}
};
class Linear_slider_look_v5 : public image_slider_look
{
  public:
    Linear_slider_look_v5() : image_slider_look({"hxslider\\", false, 0, 0, 27, false, true}) {}
};
