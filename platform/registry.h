#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Writes a 32-bit value (REG_DWORD) at a full registry path. Systems without a registry
// ignore it and return false, as a failed write.
bool set_registry_dword(const juce::String& path, int value);
} // namespace platform
