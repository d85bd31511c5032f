#include "platform/profile_ini.h"
#include "platform/code_page.h"
#include <optional>
#include <string>
#include <vector>

namespace platform
{
namespace
{
juce::String section_name_of(const juce::String& line)
{
    auto t = line.trim();
    if (!t.startsWithChar('[')) return {};
    auto end = t.indexOfChar(']');
    return end > 0 ? t.substring(1, end).trim() : juce::String();
}

bool is_section_line(const juce::String& line)
{
    return line.trimStart().startsWithChar('[');
}

// Returns the key of a "key=value" line, empty for comments and other lines.
juce::String key_of(const juce::String& line, juce::String* value = nullptr)
{
    auto t = line.trimStart();
    if (t.startsWithChar(';') || t.startsWithChar('#')) return {};
    auto eq = t.indexOfChar('=');
    if (eq <= 0) return {};
    if (value != nullptr) *value = t.substring(eq + 1).trim();
    return t.substring(0, eq).trim();
}

// The file as lines in its own encoding, so that a write changes one line and keeps every other
// byte: UTF-16 with its byte-order mark stays UTF-16, and bytes of another code page in other
// lines are never re-encoded.
struct ini_document
{
    enum encoding
    {
        bytes,
        utf16le,
        utf16be
    } kind = bytes;
    std::string bom;
    struct line
    {
        std::string raw; // as in the file, with its line end
        juce::String text;
        bool ended = false;
    };
    std::vector<line> lines;
    std::string eol; // the file's line end, encoded

    size_t unit() const { return kind == bytes ? 1 : 2; }

    uint32_t unit_at(const std::string& s, size_t i) const
    {
        const auto b = [&](size_t k) { return (uint32_t)(uint8_t)s[k]; };
        if (kind == bytes) return b(i);
        return kind == utf16le ? (b(i) | b(i + 1) << 8) : (b(i) << 8 | b(i + 1));
    }

    juce::String decode(const std::string& s) const
    {
        if (kind == bytes) return code_page_text(s.data(), s.size());
        juce::String out;
        for (size_t i = 0; i + 1 < s.size(); i += 2)
        {
            uint32_t c = unit_at(s, i);
            if (c >= 0xD800 && c <= 0xDBFF && i + 3 < s.size())
            {
                const uint32_t low = unit_at(s, i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF)
                {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            out += (c >= 0xD800 && c <= 0xDFFF) || c == 0 ? (juce::juce_wchar)0xFFFD : (juce::juce_wchar)c;
        }
        return out;
    }

    std::string encode(const juce::String& text) const
    {
        if (kind == bytes) return text.toStdString();
        std::string out;
        auto put = [&](uint32_t u)
        {
            const char hi = (char)(u >> 8), lo = (char)(u & 0xFF);
            out += kind == utf16le ? lo : hi;
            out += kind == utf16le ? hi : lo;
        };
        for (auto c : text)
        {
            const auto v = (uint32_t)c;
            if (v >= 0x10000)
            {
                put(0xD800 + ((v - 0x10000) >> 10));
                put(0xDC00 + ((v - 0x10000) & 0x3FF));
            }
            else
                put(v);
        }
        return out;
    }

    static ini_document read(const juce::File& file)
    {
        ini_document d;
        juce::MemoryBlock block;
        if (file.existsAsFile()) file.loadFileAsData(block);
        std::string data((const char*)block.getData(), block.getSize());
        if (data.compare(0, 2, "\xFF\xFE") == 0)
            d.kind = utf16le, d.bom = data.substr(0, 2);
        else if (data.compare(0, 2, "\xFE\xFF") == 0)
            d.kind = utf16be, d.bom = data.substr(0, 2);
        else if (data.compare(0, 3, "\xEF\xBB\xBF") == 0)
            d.bom = data.substr(0, 3);
        const size_t u = d.unit();
        size_t start = d.bom.size();
        for (size_t i = start; i + u <= data.size(); i += u)
        {
            if (d.unit_at(data, i) != '\n') continue;
            d.add(data.substr(start, i + u - start), true);
            start = i + u;
        }
        if (start < data.size()) d.add(data.substr(start), false);
        // New lines end as the first line does; CR LF in a file without one.
        const bool lf = !d.lines.empty() && d.lines[0].ended &&
                        d.lines[0].raw.size() - d.text_end(d.lines[0].raw, true) == u;
        d.eol = d.encode(lf ? "\n" : "\r\n");
        return d;
    }

    // Where the text of RAW ends: before its CR LF or LF, and before a stray odd byte.
    size_t text_end(const std::string& raw, bool ended) const
    {
        const size_t u = unit();
        size_t end = raw.size() - (raw.size() % u);
        if (ended) end -= u;
        if (ended && end >= u && unit_at(raw, end - u) == '\r') end -= u;
        return end;
    }

    void add(std::string raw, bool ended)
    {
        auto text = decode(raw.substr(0, text_end(raw, ended)));
        lines.push_back({std::move(raw), std::move(text), ended});
    }

    // A new line before index AT (the previous line is given its line end if it had none).
    void insert(size_t at, const juce::String& text)
    {
        if (at > 0 && !lines[at - 1].ended)
        {
            lines[at - 1].raw += eol;
            lines[at - 1].ended = true;
        }
        lines.insert(lines.begin() + (long)at, {encode(text) + eol, text, true});
    }

    void replace(size_t index, const juce::String& text)
    {
        auto& l = lines[index];
        l.raw = encode(text) + l.raw.substr(text_end(l.raw, l.ended));
        l.text = text;
    }

    std::string bytes_of() const
    {
        std::string out = bom;
        for (auto& l : lines)
            out += l.raw;
        return out;
    }
};
} // namespace

namespace
{
// The raw value of KEY in SECTION, or nothing when the key is absent.
std::optional<juce::String> find_value(const juce::String& section, const juce::String& key,
                                       const juce::File& file)
{
    bool inSection = false;
    for (auto& l : ini_document::read(file).lines)
    {
        const auto& line = l.text;
        if (is_section_line(line))
        {
            inSection = section_name_of(line).equalsIgnoreCase(section);
            continue;
        }
        juce::String value;
        if (inSection && key_of(line, &value).equalsIgnoreCase(key)) return value;
    }
    return std::nullopt;
}
} // namespace

juce::String get_private_profile_string(const juce::String& section, const juce::String& key,
                                        const juce::String& defaultValue, const juce::File& file)
{
    const auto value = find_value(section, key, file);
    return value ? value->trim().unquoted() : defaultValue;
}

int get_private_profile_int(const juce::String& section, const juce::String& key, int defaultValue,
                            const juce::File& file)
{
    const auto value = find_value(section, key, file);
    if (!value) return defaultValue;
    // Like Windows: leading digits count ("12abc" is 12), no digits give 0, an empty value the
    // default.
    auto text = value->trim();
    if (text.isEmpty()) return defaultValue;
    bool negative = text.startsWithChar('-');
    if (negative) text = text.substring(1);
    juce::int64 n = 0;
    for (auto c : text)
    {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > 0xffffffffLL) break;
    }
    auto result = static_cast<int>(static_cast<juce::uint32>(n));
    return negative ? -result : result;
}

bool write_private_profile_string(const juce::String& section, const juce::String& key,
                                  const juce::String& value, const juce::File& file)
{
    if (!file.getParentDirectory().isDirectory()) return false;

    auto doc = ini_document::read(file);
    const auto& lines = doc.lines;
    int sectionLine = -1, insertAt = -1;
    bool done = false;
    for (int i = 0; i < (int)lines.size() && !done; ++i)
    {
        const auto& text = lines[(size_t)i].text;
        if (is_section_line(text))
        {
            if (sectionLine >= 0) break; // next section: append to ours
            if (section_name_of(text).equalsIgnoreCase(section)) sectionLine = insertAt = i;
            continue;
        }
        if (sectionLine < 0) continue;
        if (key_of(text).equalsIgnoreCase(key))
        {
            doc.replace((size_t)i, key_of(text) + "=" + value);
            done = true;
        }
        else if (text.trim().isNotEmpty())
            insertAt = i;
    }
    if (!done)
    {
        if (sectionLine < 0)
        {
            doc.insert(lines.size(), "[" + section + "]");
            doc.insert(lines.size(), key + "=" + value);
        }
        else
            doc.insert((size_t)insertAt + 1, key + "=" + value);
    }

    const auto bytes = doc.bytes_of();
    juce::TemporaryFile temp(file);
    if (!temp.getFile().replaceWithData(bytes.data(), bytes.size())) return false;
    return temp.overwriteTargetFileWithTemporary();
}
} // namespace platform
