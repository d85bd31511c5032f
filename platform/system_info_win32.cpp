#include "platform/system_info.h"
#include <windows.h>

// After windows.h, which they need.
#include <lm.h>
#include <shlobj.h>

namespace platform
{
os_version system_version()
{
    // The workstation service tells the real version; GetVersionExW may be told to lie.
    WKSTA_INFO_100* info = nullptr;
    if (NetWkstaGetInfo(nullptr, 100, reinterpret_cast<LPBYTE*>(&info)) == NERR_Success && info != nullptr)
    {
        const os_version v{(int)info->wki100_ver_major, (int)info->wki100_ver_minor};
        NetApiBufferFree(info);
        return v;
    }
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version)) return {};
    return {(int)version.dwMajorVersion, (int)version.dwMinorVersion};
}

juce::String system_name(const os_version& version)
{
    static const std::pair<const char*, const char*> names[] = {
        {"5.0", "Windows 2000"},  {"5.1", "Windows XP"},  {"5.2", "Windows XP 64-Bit Edition"},
        {"6.0", "Windows Vista"}, {"6.1", "Windows 7"},   {"6.2", "Windows 8"},
        {"6.3", "Windows 8.1"},   {"10.0", "Windows 10"},
    };
    const auto key = juce::String(version.major) + "." + juce::String(version.minor);
    for (auto [k, name] : names)
        if (key == k) return name;
    return juce::String(juce::CharPointer_UTF8("未知版本"));
}

bool system_is_64_bit()
{
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

juce::File desktop_folder()
{
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK)
        return juce::File(juce::String(path));
    return juce::File::getSpecialLocation(juce::File::userDesktopDirectory);
}
} // namespace platform
