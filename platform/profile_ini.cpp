#include "platform/profile_ini.h"
#include <optional>

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

juce::StringArray read_lines(const juce::File& file)
{
    juce::StringArray lines;
    if (file.existsAsFile()) lines.addLines(file.loadFileAsString());
    if (!lines.isEmpty() && lines[lines.size() - 1].isEmpty()) lines.remove(lines.size() - 1);
    return lines;
}
} // namespace

namespace
{
// The raw value of KEY in SECTION, or nothing when the key is absent.
std::optional<juce::String> find_value(const juce::String& section, const juce::String& key,
                                       const juce::File& file)
{
    bool inSection = false;
    for (auto& line : read_lines(file))
    {
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

    auto lines = read_lines(file);
    int sectionLine = -1, insertAt = -1;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i)
    {
        if (is_section_line(lines[i]))
        {
            if (sectionLine >= 0) break; // next section: append to ours
            if (section_name_of(lines[i]).equalsIgnoreCase(section)) sectionLine = insertAt = i;
            continue;
        }
        if (sectionLine < 0) continue;
        if (key_of(lines[i]).equalsIgnoreCase(key))
        {
            lines.set(i, key_of(lines[i]) + "=" + value);
            done = true;
        }
        else if (lines[i].trim().isNotEmpty())
            insertAt = i;
    }
    if (!done)
    {
        if (sectionLine < 0)
        {
            lines.add("[" + section + "]");
            lines.add(key + "=" + value);
        }
        else
            lines.insert(insertAt + 1, key + "=" + value);
    }

    juce::TemporaryFile temp(file);
    if (!temp.getFile().replaceWithText(lines.joinIntoString("\r\n") + "\r\n", false, false, nullptr))
        return false;
    return temp.overwriteTargetFileWithTemporary();
}
} // namespace platform
