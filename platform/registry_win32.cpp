#include "platform/registry.h"
#include <windows.h>

namespace platform
{
bool set_registry_dword(const juce::String& path, int value)
{
    // "HKEY_CURRENT_USER\Control Panel\Desktop\Name": root, key, value name.
    const auto root = path.upToFirstOccurrenceOf("\\", false, false);
    const auto rest = path.fromFirstOccurrenceOf("\\", false, false);
    const auto key = rest.upToLastOccurrenceOf("\\", false, false);
    const auto name = rest.fromLastOccurrenceOf("\\", false, false);
    HKEY rootKey = root == "HKEY_CURRENT_USER"    ? HKEY_CURRENT_USER
                   : root == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE
                                                  : nullptr;
    if (rootKey == nullptr || key.isEmpty() || name.isEmpty()) return false;
    HKEY opened = nullptr;
    if (RegCreateKeyExW(rootKey, key.toWideCharPointer(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = (DWORD)value;
    const bool ok = RegSetValueExW(opened, name.toWideCharPointer(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return ok;
}
} // namespace platform
