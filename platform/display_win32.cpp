#include "platform/display.h"

namespace platform
{
juce::String display_problem()
{
    return {}; // a Windows session always has its desktop
}
} // namespace platform
