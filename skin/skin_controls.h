#pragma once
#include "skin/image_looks.h"
#include "skin/mode_btn_lookfeel.h"
#include <juce_gui_basics/juce_gui_basics.h>

// A toggle button drawn from one state folder ("on\\": 1 disabled, 2 normal, 3 over, 4 on),
// owning its look.
class skin_toggle : public juce::ToggleButton
{
  public:
    explicit skin_toggle(const juce::String& folder = {});
    ~skin_toggle() override;
    void set_folder(const juce::String& folder);
    // Four named images, in the look's order.
    void set_images(const juce::String& over, const juce::String& on, const juce::String& normal,
                    const juce::String& disabled);
    // One picture for every state (battery looks).
    void set_single_image(const juce::String& subPath);

  private:
    mode_btn_lookfeel look;
};

// A push-like toggle (pairing): 1 disabled, 2 pressed, 3 normal, 4 over.
class skin_push : public juce::ToggleButton
{
  public:
    explicit skin_push(const juce::String& folder);
    ~skin_push() override;

  private:
    hard_set_look look;
};

// An image button that shows one picture in every state.
class skin_picture : public juce::ImageButton
{
  public:
    void show(const juce::String& subPath);
    const juce::String& shown() const { return current; }

  private:
    juce::String current;
};
