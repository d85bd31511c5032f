#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// Answers the next modal alert as soon as it is up, keeping its "title. message". Looks every
// 50 ms, so a slow step before the alert does not outrun it.
struct alert_watch : private juce::Timer
{
    juce::String seen;
    ~alert_watch() override { stopTimer(); }
    void answer(int result = 0)
    {
        seen = {};
        answerWith = result;
        startTimer(50);
    }

  private:
    void timerCallback() override
    {
        if (auto* w = dynamic_cast<juce::AlertWindow*>(juce::Component::getCurrentlyModalComponent()))
        {
            stopTimer();
            seen = w->getDescription();
            w->exitModalState(answerWith);
        }
    }
    int answerWith = 0;
};
