#include "platform/code_page.h"
#include "platform/utf8_text.h"
#include <cstring>

namespace platform
{
juce::String code_page_text(const char* bytes, size_t size)
{
    return utf8_text(bytes, size);
}
std::string code_page_bytes(const juce::String& text, size_t maxBytes)
{
    const char* utf8 = text.toRawUTF8();
    size_t n = std::min(maxBytes, std::strlen(utf8));
    while (n > 0 && ((uint8_t)utf8[n] & 0xC0) == 0x80) // back to a character's first byte
        --n;
    return std::string(utf8, n);
}
} // namespace platform
