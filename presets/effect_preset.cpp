#include "presets/effect_preset.h"
#include <map>

namespace
{
// para 1-67 in order: key, offset, width, signed, min, max
const preset_field fields[effect_preset::field_count] = {
    {"mic:fxVol", 0, 1, true, -127, 127},
    {"mic:fxDirect", 1, 1, false, 0, 100},
    {"mic:modeEQ0:eqEnable", 2, 1, false, 0, 1},
    {"mic:modeEQ0:eqType", 3, 1, false, 4, 6},
    {"mic:modeEQ0:eqQ", 4, 2, false, 1, 12800},
    {"mic:modeEQ0:eqGain", 6, 2, true, -150, 150},
    {"mic:modeEQ0:eqFreq", 8, 2, false, 20, 20000},
    {"mic:modeEQ1:eqEnable", 10, 1, false, 0, 1},
    {"mic:modeEQ1:eqType", 11, 1, false, 4, 6},
    {"mic:modeEQ1:eqQ", 12, 2, false, 1, 12800},
    {"mic:modeEQ1:eqGain", 14, 2, true, -150, 150},
    {"mic:modeEQ1:eqFreq", 16, 2, false, 20, 20000},
    {"mic:modeEQ2:eqEnable", 18, 1, false, 0, 1},
    {"mic:modeEQ2:eqType", 19, 1, false, 4, 6},
    {"mic:modeEQ2:eqQ", 20, 2, false, 1, 12800},
    {"mic:modeEQ2:eqGain", 22, 2, true, -150, 150},
    {"mic:modeEQ2:eqFreq", 24, 2, false, 20, 20000},
    {"rev:revMute", 26, 1, false, 0, 1},
    {"rev:revBypass", 27, 1, false, 0, 1},
    {"rev:revPreDly", 28, 1, false, 0, 255},
    {"rev:revPreRepeat", 29, 1, false, 0, 100},
    {"rev:revDiffustion", 30, 1, false, 0, 100},
    {"rev:revDecay", 31, 1, false, 0, 100},
    {"rev:revDensity", 32, 1, false, 0, 100},
    {"rev:revDirect", 33, 1, false, 0, 100},
    {"rev:revVol", 34, 1, false, 0, 100},
    {"rev:revEarlyRef", 35, 1, false, 0, 100},
    {"rev:revLateRev", 36, 1, false, 0, 100},
    {"rev:revWidth", 37, 1, false, 0, 100},
    {"rev:revLfoDepth", 38, 1, false, 0, 100},
    {"rev:revLfoFreq", 39, 1, false, 0, 100},
    {"rev:revHsFreq", 40, 1, false, 0, 255},
    {"rev:revHsGain", 41, 1, true, -48, 0},
    {"rev:revBassFreq", 42, 1, false, 4, 200},
    {"rev:revBassQ", 43, 1, false, 1, 100},
    {"rev:revEQ:lowPassFreq", 44, 2, false, 20, 20000},
    {"rev:revEQ:highPassFreq", 46, 2, false, 20, 20000},
    {"rev:revEQ:eq1Freq", 48, 2, false, 20, 20000},
    {"rev:revEQ:eq1Gain", 50, 2, true, -150, 150},
    {"rev:revEQ:eq1Q", 52, 2, false, 1, 12800},
    {"rev:revEQ:eq2Freq", 54, 2, false, 20, 20000},
    {"rev:revEQ:eq2Gain", 56, 2, true, -150, 150},
    {"rev:revEQ:eq2Q", 58, 2, false, 1, 12800},
    {"rev:revEQ:eq3Freq", 60, 2, false, 20, 20000},
    {"rev:revEQ:eq3Gain", 62, 2, true, -150, 150},
    {"rev:revEQ:eq3Q", 64, 2, false, 1, 12800},
    {"echo:echoMute", 66, 1, false, 0, 1},
    {"echo:echoBypass", 67, 1, false, 0, 1},
    {"echo:echoLPreDly", 68, 1, false, 0, 250},
    {"echo:echoLTime", 69, 1, false, 0, 255},
    {"echo:echoRepeat", 70, 1, false, 0, 100},
    {"echo:echoRPreDly", 71, 1, false, 0, 250},
    {"echo:echoRTime", 72, 1, false, 0, 255},
    {"echo:echoDirect", 73, 1, false, 0, 100},
    {"echo:echoVol", 74, 1, false, 0, 100},
    {"echo:echoWidth", 75, 1, false, 0, 100},
    {"echo:echoEQ:lowPassFreq", 76, 2, false, 20, 20000},
    {"echo:echoEQ:highPassFreq", 78, 2, false, 20, 20000},
    {"echo:echoEQ:eq1Freq", 80, 2, false, 20, 20000},
    {"echo:echoEQ:eq1Gain", 82, 2, true, -150, 150},
    {"echo:echoEQ:eq1Q", 84, 2, false, 1, 12800},
    {"echo:echoEQ:eq2Freq", 86, 2, false, 20, 20000},
    {"echo:echoEQ:eq2Gain", 88, 2, true, -150, 150},
    {"echo:echoEQ:eq2Q", 90, 2, false, 1, 12800},
    {"echo:echoEQ:eq3Freq", 92, 2, false, 20, 20000},
    {"echo:echoEQ:eq3Gain", 94, 2, true, -150, 150},
    {"echo:echoEQ:eq3Q", 96, 2, false, 1, 12800},
};

bool all_zero(const effect_preset& p, int begin, int end)
{
    for (int i = begin; i < end; ++i)
        if (p.bytes[(size_t)i] != 0) return false;
    return true;
}

// Leading white space, an optional sign, digits up to the first non-digit; no digits read as
// 0. Saturates far outside every field's range, so a huge number is simply out of range.
int64_t read_decimal(const juce::String& text)
{
    auto p = text.getCharPointer();
    while (juce::CharacterFunctions::isWhitespace(*p))
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = (p.getAndAdvance() == '-');
    int64_t v = 0;
    while (*p >= '0' && *p <= '9')
    {
        if (v < 100000000000LL)
            v = v * 10 + (int64_t)(p.getAndAdvance() - '0');
        else
            ++p;
    }
    return negative ? -v : v;
}

using field_matcher = int (*)(const juce::String&);

juce::String read_category(const juce::XmlElement* category, effect_preset& record, field_matcher match,
                           const juce::String& suffix)
{
    if (category == nullptr || !category->getTagName().equalsIgnoreCase("category")) return {};
    int children = 0;
    for (auto* child : category->getChildIterator())
        if (!child->isTextElement()) ++children;
    if (children != effect_preset::field_count && children != 17) return {};

    const juce::String name =
        category->getNumAttributes() > 0 ? category->getAttributeValue(0) : juce::String();
    bool seen[effect_preset::field_count] = {};
    for (auto* child : category->getChildIterator())
    {
        if (child->isTextElement()) continue;
        if (child->getNumAttributes() == 0) continue; // an empty name matches no field
        const int para = match(child->getAttributeName(0));
        if (para == 0) continue;
        const auto& f = field_of(para);
        const int64_t v = read_decimal(child->getAttributeValue(0));
        if (v < f.min || v > f.max) break;
        record.set(para, (int)v);
        seen[para - 1] = true;
    }
    const int needed = children == effect_preset::field_count ? effect_preset::field_count : 17;
    for (int i = 0; i < needed; ++i)
        if (!seen[i]) return {};
    return name + suffix;
}

int match_key(const juce::String& name)
{
    return para_of_key(name);
}
int match_number(const juce::String& name)
{
    return para_of_number_name(name);
}
} // namespace

const preset_field& field_of(int para)
{
    jassert(para >= 1 && para <= effect_preset::field_count);
    return fields[para - 1];
}

int para_of_key(const juce::String& key)
{
    static const std::map<juce::String, int> byKey = []
    {
        std::map<juce::String, int> m;
        for (int i = 0; i < effect_preset::field_count; ++i)
            m[fields[i].key] = i + 1;
        return m;
    }();
    auto it = byKey.find(key);
    return it == byKey.end() ? 0 : it->second;
}

int para_of_number_name(const juce::String& name)
{
    // Exactly "para" and the decimal number without leading zeros.
    if (!name.startsWith("para") || name.length() < 5 || name.length() > 6) return 0;
    const auto digits = name.substring(4);
    if (!digits.containsOnly("0123456789") || digits[0] == '0') return 0;
    const int n = digits.getIntValue();
    return n >= 1 && n <= effect_preset::field_count ? n : 0;
}

int effect_preset::get(int para) const
{
    const auto& f = field_of(para);
    const auto* b = bytes.data() + f.offset;
    if (f.width == 1) return f.is_signed ? (int)(int8_t)b[0] : (int)b[0];
    const uint16_t u = (uint16_t)(b[0] | (b[1] << 8));
    return f.is_signed ? (int)(int16_t)u : (int)u;
}

void effect_preset::set(int para, int value)
{
    const auto& f = field_of(para);
    auto* b = bytes.data() + f.offset;
    b[0] = (uint8_t)(value & 0xff);
    if (f.width == 2) b[1] = (uint8_t)((value >> 8) & 0xff);
}

bool effect_preset::reverb_zero() const
{
    return all_zero(*this, reverb_begin, reverb_end);
}
bool effect_preset::echo_zero() const
{
    return all_zero(*this, echo_begin, echo_end);
}

preset_list::preset_list() : records(new effect_preset[capacity])
{
    names.ensureStorageAllocated(capacity);
}

void preset_list::copy_from(const preset_list& other)
{
    if (&other == this) return;
    names.clearQuick();
    for (int i = 0; i < other.count(); ++i)
        append(other.name(i), other.record(i));
}

void preset_list::append(const juce::String& name, const effect_preset& record)
{
    if (full()) return;
    records[(size_t)count()] = record;
    names.add(name);
}

bool is_list_root(const juce::XmlElement& root)
{
    if (!root.getTagName().equalsIgnoreCase("effect_vk2max_list")) return false;
    for (auto* child : root.getChildIterator())
        if (!child->isTextElement()) return true;
    return false;
}

juce::String online_suffix(bool english)
{
    return english ? juce::String("_ONLINE")
                   : juce::String(juce::CharPointer_UTF8("_\xe5\x9c\xa8\xe7\xba\xbf"));
}

juce::String import_suffix()
{
    return juce::String(juce::CharPointer_UTF8("_\xe5\xaf\xbc\xe5\x85\xa5"));
}

juce::String read_para_category(const juce::XmlElement* category, effect_preset& record)
{
    return read_category(category, record, match_number, import_suffix());
}

juce::String read_named_category(const juce::XmlElement* category, effect_preset& record, bool english)
{
    return read_category(category, record, match_key, online_suffix(english));
}

bool read_online_list(const juce::XmlElement& root, preset_list& list, bool english)
{
    if (!is_list_root(root)) return false;
    list.clear();
    const auto suffix = online_suffix(english);
    for (auto* child : root.getChildIterator())
    {
        if (list.full()) break;
        effect_preset scratch;
        const auto name = read_named_category(child, scratch, english);
        if (name.contains(suffix)) list.append(name, scratch);
    }
    return true;
}
