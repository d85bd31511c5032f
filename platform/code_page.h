#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Text from bytes in the system's code page (UTF-8 here); bytes the code page cannot read
// become U+FFFD.
juce::String code_page_text(const char* bytes, size_t size);
// The text in the system's code page, at most MAXBYTES bytes and never a character cut in two;
// characters the code page lacks become its default character.
std::string code_page_bytes(const juce::String& text, size_t maxBytes);
} // namespace platform
