#include "platform/xml_input.h"

namespace platform
{
juce::String utf8_text(const void* bytes, size_t size)
{
    if (size == 0 || size > (size_t)std::numeric_limits<int>::max()) return {};
    auto* text = static_cast<const char*>(bytes);
    size_t skip = 0;
    if (size >= 3 && (uint8_t)text[0] == 0xEF && (uint8_t)text[1] == 0xBB && (uint8_t)text[2] == 0xBF)
        skip = 3;
    if (!juce::CharPointer_UTF8::isValidString(text + skip, (int)(size - skip))) return {};
    return juce::String::fromUTF8(text + skip, (int)(size - skip));
}

juce::String utf8_file_text(const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (!file.loadFileAsData(bytes)) return {};
    return utf8_text(bytes.getData(), bytes.getSize());
}

std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text)
{
    auto rest = text.trimStart();
    if (rest.startsWith("<?")) rest = rest.fromFirstOccurrenceOf("?>", false, false);
    if (rest.contains("<?")) return nullptr;
    return juce::XmlDocument::parse(text);
}
} // namespace platform
