#include "platform/user_settings.h"

namespace platform
{
juce::String properties_folder_name()
{
    return {}; // the framework's own place: the user's application-data folder
}
} // namespace platform
