#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// The folder name given to the framework's per-user properties file: empty where the framework's
// own place is where users look (Windows: the application-data folder); here the XDG
// configuration folder ($XDG_CONFIG_HOME, else ~/.config) instead of a dot folder in the home.
juce::String properties_folder_name();
} // namespace platform
