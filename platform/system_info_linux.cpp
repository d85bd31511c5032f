#include "platform/system_info.h"
#include <sys/utsname.h>

namespace platform
{
os_version system_version()
{
    utsname u{};
    if (uname(&u) != 0) return {};
    const juce::String release(u.release); // "6.1.0-18-amd64"
    return {release.upToFirstOccurrenceOf(".", false, false).getIntValue(),
            release.fromFirstOccurrenceOf(".", false, false).getIntValue()};
}

juce::String system_name(const os_version&)
{
    // The Windows table means nothing for a kernel version: the distribution names itself.
    juce::StringArray lines;
    juce::File("/etc/os-release").readLines(lines);
    for (const auto& line : lines)
        if (line.startsWith("PRETTY_NAME=")) return line.fromFirstOccurrenceOf("=", false, false).unquoted();
    return juce::String(juce::CharPointer_UTF8("未知版本"));
}

bool system_is_64_bit()
{
    utsname u{};
    if (uname(&u) != 0) return false;
    const juce::String machine(u.machine);
    return machine.contains("64") || machine == "s390x";
}

juce::File desktop_folder()
{
    return juce::File::getSpecialLocation(juce::File::userDesktopDirectory);
}
} // namespace platform
