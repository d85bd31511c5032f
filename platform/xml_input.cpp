#include "platform/xml_input.h"

namespace platform
{
namespace
{
const char replacement[] = "\xEF\xBF\xBD";

bool starts(const char* p, const char* prefix)
{
    return std::strncmp(p, prefix, std::strlen(prefix)) == 0;
}

// One pass over the markup, without recursion: declarations, processing instructions and depth.
bool acceptable_markup(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        ++p;
    if (starts(p, "<?"))
    {
        const char* end = std::strstr(p + 2, "?>");
        if (end == nullptr) return false;
        p = end + 2;
    }
    // Anywhere after the declaration, even where the scan below would see a value or a comment:
    // on malformed text the parser's idea of where those end can differ from ours.
    if (std::strstr(p, "<?") != nullptr) return false;
    int depth = 0;
    while ((p = std::strchr(p, '<')) != nullptr)
    {
        if (starts(p, "<!--") || starts(p, "<![CDATA["))
        {
            const bool comment = p[2] == '-';
            const char* end = std::strstr(p + (comment ? 4 : 9), comment ? "-->" : "]]>");
            if (end == nullptr) return false;
            p = end + 3;
            continue;
        }
        if (p[1] == '!' || p[1] == '?') return false;
        char quote = 0;
        const char* q = p + 1;
        for (; *q != 0; ++q)
        {
            if (quote != 0)
            {
                if (*q == '<') return false; // not allowed in a value, and a sign of confusion
                if (*q == quote) quote = 0;
            }
            else if (*q == '"' || *q == '\'')
                quote = *q;
            else if (*q == '>')
                break;
            else if (*q == '<')
                return false; // markup inside a tag: the parser's view of it is not ours
        }
        if (*q == 0) return false;
        if (p[1] == '/')
            --depth;
        else if (q[-1] != '/' && ++depth > max_xml_depth)
            return false;
        p = q + 1;
    }
    return true;
}

void make_valid(juce::XmlElement& root)
{
    juce::Array<juce::XmlElement*> pending{&root};
    while (!pending.isEmpty())
    {
        auto* e = pending.removeAndReturn(pending.size() - 1);
        if (e->isTextElement())
        {
            const auto text = e->getText();
            const auto valid = valid_text(text);
            if (valid != text) e->setText(valid);
            continue;
        }
        for (int i = 0; i < e->getNumAttributes(); ++i)
        {
            const auto value = e->getAttributeValue(i);
            const auto valid = valid_text(value);
            if (valid != value) e->setAttribute(e->getAttributeName(i), valid);
        }
        for (auto* child : e->getChildIterator())
            pending.add(child);
    }
}
} // namespace

std::string repaired_utf8(const char* bytes, size_t size)
{
    const auto* s = reinterpret_cast<const uint8_t*>(bytes);
    std::string out;
    out.reserve(size);
    size_t i = 0;
    while (i < size)
    {
        const uint8_t b = s[i];
        if (b < 0x80)
        {
            if (b == 0)
                out += replacement;
            else
                out += (char)b;
            ++i;
            continue;
        }
        // Length and the range of the second byte (no overlong forms, surrogates or past U+10FFFF).
        size_t length = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b >= 0xE0 && b <= 0xEF)
        {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        }
        else if (b >= 0xF0 && b <= 0xF4)
        {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        }
        size_t good = length == 0 ? 0 : 1;
        while (good > 0 && good < length && i + good < size)
        {
            const uint8_t c = s[i + good];
            const bool fits = good == 1 ? (c >= low && c <= high) : (c >= 0x80 && c <= 0xBF);
            if (!fits) break;
            ++good;
        }
        if (length != 0 && good == length)
            out.append(bytes + i, length);
        else
            out += replacement; // the lead byte and the continuation bytes that fitted
        i += good == 0 ? 1 : good;
    }
    return out;
}

juce::String utf8_text(const void* bytes, size_t size)
{
    if (size == 0 || size > (size_t)std::numeric_limits<int>::max() / 3) return {};
    auto* text = static_cast<const char*>(bytes);
    size_t skip = 0;
    if (size >= 3 && (uint8_t)text[0] == 0xEF && (uint8_t)text[1] == 0xBB && (uint8_t)text[2] == 0xBF)
        skip = 3;
    const auto valid = repaired_utf8(text + skip, size - skip);
    return juce::String::fromUTF8(valid.data(), (int)valid.size());
}

juce::String utf8_file_text(const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (!file.loadFileAsData(bytes)) return {};
    return utf8_text(bytes.getData(), bytes.getSize());
}

juce::String valid_text(const juce::String& text)
{
    // Checked on the bytes: a code point past U+10FFFF is stored as a lead byte that the
    // framework may decode as some other, valid-looking character.
    const char* raw = text.toRawUTF8();
    const size_t size = text.getNumBytesAsUTF8();
    const auto valid = repaired_utf8(raw, size);
    if (valid.size() == size && std::memcmp(valid.data(), raw, size) == 0) return text;
    return juce::String::fromUTF8(valid.data(), (int)valid.size());
}

std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text)
{
    if (!acceptable_markup(text.toRawUTF8())) return nullptr;
    auto root = juce::XmlDocument::parse(text);
    if (root != nullptr) make_valid(*root);
    return root;
}
} // namespace platform
