#pragma once
#include <juce_core/juce_core.h>

// What the tray says about a wireless unit's battery: the tooltip with the level, and the low
// battery notice, given once when the level falls to 1 and not again until it has been above 1.
class battery_notice
{
  public:
    struct shown
    {
        juce::String tooltip;
        bool warn = false; // show the low battery notice now
    };
    // LEVEL 1-6 of a connected wireless unit, 0 when there is none.
    shown update(int level, bool english);

    static juce::String tooltip_for(int level, bool english);
    static juce::String low_text(bool english);

  private:
    bool warned = false;
};
