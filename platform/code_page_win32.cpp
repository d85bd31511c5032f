#include "platform/code_page.h"
#include <windows.h>

namespace platform
{
juce::String code_page_text(const char* bytes, size_t size)
{
    if (size == 0) return {};
    // Without MB_ERR_INVALID_CHARS the system puts U+FFFD (or its default) for what it cannot read.
    const int count = MultiByteToWideChar(CP_ACP, 0, bytes, (int)size, nullptr, 0);
    if (count <= 0) return {};
    std::wstring wide((size_t)count, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes, (int)size, wide.data(), count);
    return juce::String(wide.c_str());
}
std::string code_page_bytes(const juce::String& text, size_t maxBytes)
{
    std::wstring wide(text.toWideCharPointer());
    for (;;)
    {
        const int count =
            WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
        if (count <= 0) return {};
        if ((size_t)count <= maxBytes)
        {
            std::string bytes((size_t)count, '\0');
            WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), bytes.data(), count, nullptr,
                                nullptr);
            return bytes;
        }
        wide.pop_back(); // shorter by whole characters until it fits
        if (!wide.empty() && IS_HIGH_SURROGATE(wide.back())) wide.pop_back();
    }
}
} // namespace platform
