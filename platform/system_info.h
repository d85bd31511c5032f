#pragma once
#include <juce_core/juce_core.h>

// What the version report says of the system. On Windows: NetWkstaGetInfo / GetVersionExW,
// the Windows name table, GetNativeSystemInfo. Here: the kernel's major and minor version, the
// distribution's own name (/etc/os-release) and the machine's architecture.
namespace platform
{
struct os_version
{
    int major = 0, minor = 0;
};
os_version system_version();
// The name shown beside the version text.
juce::String system_name(const os_version& version);
bool system_is_64_bit();
// The user's desktop folder.
juce::File desktop_folder();
} // namespace platform
