#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Text from bytes in the system's code page (UTF-8 here); bytes the code page cannot read
// become U+FFFD.
juce::String code_page_text(const char* bytes, size_t size);
} // namespace platform
