#pragma once
#include <juce_core/juce_core.h>

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

// The deepest element nesting parse_xml accepts; the files and the online list need four.
constexpr int max_xml_depth = 32;

// XmlDocument::parse for text from a file or the network, or null when the text is refused:
// - a DOCTYPE or any other "<!" declaration (an entity defined in terms of itself makes the
//   framework's parser recurse without end);
// - elements nested deeper than max_xml_depth (the parser recurses once per level);
// - a processing instruction after the XML declaration (the parser never ends on one inside an
//   element followed by text).
// Character references to code points UTF-8 cannot carry come out as U+FFFD.
std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text);
} // namespace platform
