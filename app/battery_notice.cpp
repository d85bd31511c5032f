#include "app/battery_notice.h"

battery_notice::shown battery_notice::update(int level, bool english)
{
    shown s{tooltip_for(level, english), false};
    if (level == 1 && !warned)
        s.warn = warned = true;
    else if (level > 1)
        warned = false;
    return s;
}

juce::String battery_notice::tooltip_for(int level, bool english)
{
    if (level < 1 || level > 6) return juce::CharPointer_UTF8("Tavri控制面板");
    const auto n = juce::String(level);
    return english ? "Tavri Control Panel - battery " + n + "/6"
                   : juce::String(juce::CharPointer_UTF8("Tavri控制面板 - 电量 ")) + n + "/6";
}

juce::String battery_notice::low_text(bool english)
{
    return english ? juce::String("Battery low, please charge")
                   : juce::String(juce::CharPointer_UTF8("电量低，请充电"));
}
