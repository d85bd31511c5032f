#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// Text from bytes read from a file or the network. The framework's strings and XML parser
// read past the end of malformed UTF-8 (a lead byte without its continuation bytes), so such
// bytes give an empty string, which every caller treats as unreadable.
juce::String utf8_text(const void* bytes, size_t size);
juce::String utf8_file_text(const juce::File& file);

// XmlDocument::parse for text from a file or the network. The framework's parser never ends on
// a processing instruction inside an element that is followed by text, so any "<?" after the
// XML declaration makes the text unreadable (null), as a parse failure would.
std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text);
} // namespace platform
