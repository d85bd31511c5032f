#pragma once
#include <juce_events/juce_events.h>

// A command word (compared exactly) and its argument, posted to a MessageListener.
struct my_message : juce::Message
{
    my_message(juce::String commandWord = {}, juce::String argumentText = {})
        : command(std::move(commandWord)), argument(std::move(argumentText))
    {
    }
    juce::String command, argument;
};

inline void post_command(const juce::MessageListener& to, const juce::String& command,
                         const juce::String& argument = {})
{
    to.postMessage(new my_message(command, argument));
}
