#include "platform/registry.h"

namespace platform
{
bool set_registry_dword(const juce::String&, int)
{
    return false; // nothing on this system reads the value
}
} // namespace platform
