#include "platform/user_settings.h"

namespace platform
{
juce::String properties_folder_name()
{
    // The XDG rule: a relative value is ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/')
        return juce::String::fromUTF8(config);
    return juce::File::getSpecialLocation(juce::File::userHomeDirectory)
        .getChildFile(".config")
        .getFullPathName();
}
} // namespace platform
