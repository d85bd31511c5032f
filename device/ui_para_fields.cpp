#include "device/ui_para_fields.h"

namespace ui_para_fields
{
namespace
{
const field fields[ui_para::size] = {
    {"mode", true, "0-5"},
    {"eqLevel1", true, "0-15"},
    {"eqLevel2", true, "0-15"},
    {"volume1", true, "0-8"},
    {"volume2", true, "0-8"},
    {"volume4", true, "0-8"},
    {"volume3", true, "0-8"},
    {"duckingLevel", true, "0-3"},
    {"denoiseLevel", true, "0,6,14"},
    {"reserved9", false, {}},
    {"librarySwitchB", true, "0-1"},
    {"hardMode", true, "0-1"},
    {"switch3", true, "0-1"},
    {"switch1", true, "0-1"},
    {"aiDenoise", true, "0,1,3"},
    {"headEnable", true, "0-1"},
    {"lightMode", true, "0-3"},
    {"lightColour", true, "1-8"},
    {"lightColourMask", true, "0-255"},
    {"lightBrightness", true, "0-7"},
    {"librarySwitchA", true, "0-1"},
    {"eqPreset", true, "0-10"},
    {"batteryVoltage", false, {}},
    {"reserved23", false, {}},
    {"headState", false, {}},
    {"mainState", false, {}},
    {"linkState", false, {}},
};
} // namespace

bool field::allows(int value) const
{
    if (!writable) return false;
    for (const auto& item : juce::StringArray::fromTokens(values, ",", {}))
    {
        const auto low = item.upToFirstOccurrenceOf("-", false, false).getIntValue();
        const auto high =
            item.containsChar('-') ? item.fromFirstOccurrenceOf("-", false, false).getIntValue() : low;
        if (value >= low && value <= high) return true;
    }
    return false;
}

const field& at(int index)
{
    return fields[juce::jlimit(0, ui_para::size - 1, index)];
}

int index_of(const juce::String& name)
{
    for (int i = 0; i < ui_para::size; ++i)
        if (name == fields[i].name) return i;
    return -1;
}
} // namespace ui_para_fields
