#include "platform/ui_language.h"
#include <cstdlib>

namespace platform
{
bool ui_is_english()
{
    static const bool english = []
    {
        auto* v = std::getenv("RX40_LANG");
        return v != nullptr && juce::String(v).equalsIgnoreCase("en");
    }();
    return english;
}

juce::String language_folder()
{
    return ui_is_english() ? "kqen/" : "kqcn/";
}
} // namespace platform
