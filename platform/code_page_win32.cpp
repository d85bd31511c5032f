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
} // namespace platform
