#include "platform/xml_input.h"
#include "platform/utf8_text.h"
#include <cctype>

namespace platform
{
namespace
{
bool starts(const char* p, const char* prefix)
{
    return std::strncmp(p, prefix, std::strlen(prefix)) == 0;
}

// A predefined entity or a character reference at P ('&'). The parser treats anything else as an
// entity to expand, and has read past its buffer doing so.
bool valid_reference(const char* p)
{
    for (const char* named : {"amp;", "lt;", "gt;", "quot;", "apos;"})
        if (starts(p + 1, named)) return true;
    if (p[1] != '#') return false;
    const char* q = p + 2;
    const bool hex = *q == 'x' || *q == 'X';
    if (hex) ++q;
    const char* digits = q;
    while (hex ? std::isxdigit((unsigned char)*q) : std::isdigit((unsigned char)*q))
        ++q;
    return q > digits && q - digits <= (hex ? 8 : 10) && *q == ';';
}

bool references_ok(const char* from, const char* to)
{
    for (const char* a = from; (a = (const char*)std::memchr(a, '&', (size_t)(to - a))) != nullptr; ++a)
        if (!valid_reference(a)) return false;
    return true;
}

// One pass over the markup, without recursion: declarations, processing instructions, references
// and depth.
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
    const char* text = p; // where the text before the next tag starts
    while ((p = std::strchr(p, '<')) != nullptr)
    {
        if (!references_ok(text, p)) return false;
        if (starts(p, "<!--") || starts(p, "<![CDATA["))
        {
            const bool comment = p[2] == '-';
            const char* end = std::strstr(p + (comment ? 4 : 9), comment ? "-->" : "]]>");
            if (end == nullptr) return false;
            p = text = end + 3;
            continue;
        }
        if (p[1] == '!') return false; // DOCTYPE, ENTITY and the like
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
        if (*q == 0 || !references_ok(p, q)) return false;
        if (p[1] == '/')
            --depth;
        else if (q[-1] != '/' && ++depth > max_xml_depth)
            return false;
        p = text = q + 1;
    }
    return references_ok(text, text + std::strlen(text));
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

std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text)
{
    if (!acceptable_markup(text.toRawUTF8())) return nullptr;
    auto root = juce::XmlDocument::parse(text);
    if (root != nullptr) make_valid(*root);
    return root;
}
} // namespace platform
