#include "platform/code_page.h"
#include "platform/utf8_text.h"

namespace platform
{
juce::String code_page_text(const char* bytes, size_t size)
{
    return utf8_text(bytes, size);
}
} // namespace platform
