#include "platform/xml_input.h"
#include "platform/utf8_text.h"

namespace platform
{
namespace
{
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

std::unique_ptr<juce::XmlElement> parse_xml(const juce::String& text)
{
    if (!acceptable_markup(text.toRawUTF8())) return nullptr;
    auto root = juce::XmlDocument::parse(text);
    if (root != nullptr) make_valid(*root);
    return root;
}
} // namespace platform
