#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Empty when windows can be shown; otherwise one line saying what is missing and what to do.
juce::String display_problem();
} // namespace platform
