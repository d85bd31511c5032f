#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// The deepest element nesting parse_xml accepts; the files and the online list need four.
constexpr int max_xml_depth = 32;

// XmlDocument::parse for text from a file or the network, or null when the text is refused:
// - a DOCTYPE or any other "<!" declaration (an entity defined in terms of itself makes the
//   framework's parser recurse without end);
// - elements nested deeper than max_xml_depth (the parser recurses once per level);
// - a processing instruction after the XML declaration (the parser never ends on one inside an
//   element followed by text);
// - an "&" that is not a predefined entity or a character reference (the parser expands it as
//   markup and has read past its buffer);
// - "<" inside a tag or an attribute value (on such text the parser's idea of where a tag ends
//   differs from the check's, and it has read past its buffer or never ended).
// Character references to code points UTF-8 cannot carry come out as U+FFFD.
std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text);
} // namespace platform
