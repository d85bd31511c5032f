#pragma once
#include <juce_core/juce_core.h>
#include <string>

namespace platform
{
// Text from bytes read from a file or the network. The framework's strings read past the end of
// malformed UTF-8, so every invalid sequence (and NUL) becomes U+FFFD first: a file with one bad
// byte keeps the rest of its text. A UTF-8 byte-order mark is skipped.
juce::String utf8_text(const void* bytes, size_t size);
juce::String utf8_file_text(const juce::File& file);

// The bytes as strict UTF-8: each maximal invalid subsequence and each NUL replaced by U+FFFD.
std::string repaired_utf8(const char* bytes, size_t size);

// TEXT with every code point that UTF-8 cannot carry (surrogates, past U+10FFFF) replaced by
// U+FFFD, so that what is written can be read back.
juce::String valid_text(const juce::String& text);
} // namespace platform
