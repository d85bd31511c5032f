#pragma once
#include <juce_core/juce_core.h>

// "KQ" while no device is connected, else the model the device reported.
juce::String connected_model();
void set_connected_model(const juce::String& model);
