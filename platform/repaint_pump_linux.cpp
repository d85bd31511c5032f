#include "platform/repaint_pump.h"

namespace platform
{
std::unique_ptr<juce::Timer> start_repaint_pump()
{
    return nullptr; // X11 repaints as the framework asks
}
} // namespace platform
