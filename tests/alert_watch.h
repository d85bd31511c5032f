#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// Answers the next modal alert a moment after it opens, keeping its "title. message".
struct alert_watch
{
    juce::String seen;
    void answer(int result = 0, int afterMs = 100)
    {
        seen = {};
        juce::Timer::callAfterDelay(
            afterMs,
            [this, result]
            {
                if (auto* w = dynamic_cast<juce::AlertWindow*>(juce::Component::getCurrentlyModalComponent()))
                {
                    seen = w->getDescription();
                    w->exitModalState(result);
                }
            });
    }
};
