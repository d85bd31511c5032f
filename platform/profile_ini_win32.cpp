#include "platform/profile_ini.h"
#include <windows.h>

namespace platform
{
int get_private_profile_int(const juce::String& section, const juce::String& key, int defaultValue,
                            const juce::File& file)
{
    return (int)GetPrivateProfileIntW(section.toWideCharPointer(), key.toWideCharPointer(), defaultValue,
                                      file.getFullPathName().toWideCharPointer());
}

juce::String get_private_profile_string(const juce::String& section, const juce::String& key,
                                        const juce::String& defaultValue, const juce::File& file)
{
    std::wstring buffer(4096, L'\0');
    const DWORD length = GetPrivateProfileStringW(
        section.toWideCharPointer(), key.toWideCharPointer(), defaultValue.toWideCharPointer(), buffer.data(),
        (DWORD)buffer.size(), file.getFullPathName().toWideCharPointer());
    buffer.resize(length);
    return juce::String(buffer.c_str());
}

bool write_private_profile_string(const juce::String& section, const juce::String& key,
                                  const juce::String& value, const juce::File& file)
{
    return WritePrivateProfileStringW(section.toWideCharPointer(), key.toWideCharPointer(),
                                      value.toWideCharPointer(),
                                      file.getFullPathName().toWideCharPointer()) != 0;
}
} // namespace platform
