#pragma once
#include "presets/effect_preset.h"
#include <algorithm>
#include <vector>

// Online-list documents for the tests.
namespace preset_fixtures
{
using item = std::pair<juce::String, juce::String>;

inline juce::String key_name(int para, bool numbered)
{
    return numbered ? "para" + juce::String(para) : juce::String(field_of(para).key);
}

// Valid values of paras 1..count, all different from the field minimum where possible.
inline std::vector<item> valid_items(int count, bool numbered = true)
{
    std::vector<item> items;
    for (int para = 1; para <= count; ++para)
    {
        const auto& f = field_of(para);
        items.push_back(
            {key_name(para, numbered), juce::String(std::min(f.max, (f.min + f.max) / 2 + (para % 3)))});
    }
    return items;
}

inline juce::String category(const juce::String& name, const std::vector<item>& items,
                             const juce::String& tag = "category")
{
    juce::String text = "<" + tag + " description=\"" + name + "\">";
    for (auto& [n, v] : items)
        text << (n.isEmpty() ? juce::String("<item/>") : "<item " + n + "=\"" + v + "\"/>");
    return text + "</" + tag + ">";
}

inline juce::String document(const juce::String& categories)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<effect_vk2max_list>" + categories +
           "</effect_vk2max_list>";
}

} // namespace preset_fixtures
