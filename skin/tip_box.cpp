#include "skin/tip_box.h"
#include "platform/ui_language.h"

namespace
{
template <typename Show> void without_native_alerts(Show&& show)
{
    auto& look = juce::LookAndFeel::getDefaultLookAndFeel();
    look.setUsingNativeAlertWindows(false);
    show();
    look.setUsingNativeAlertWindows(true);
}
} // namespace

namespace skin
{
void show_tip(juce::MessageBoxIconType icon, const juce::String& text)
{
    without_native_alerts([&]
                          { juce::AlertWindow::showMessageBox(icon, platform::tr("提示", "Tip"), text); });
}

void show_tip_async(juce::MessageBoxIconType icon, const juce::String& text)
{
    without_native_alerts(
        [&] { juce::AlertWindow::showMessageBoxAsync(icon, platform::tr("提示", "Tip"), text); });
}
int ask_yes_no_cancel(const juce::String& text)
{
    int answer = 0;
    without_native_alerts(
        [&]
        {
            answer = juce::AlertWindow::showYesNoCancelBox(juce::MessageBoxIconType::InfoIcon,
                                                           platform::tr("提示", "Tip"), text, "Yes", "No",
                                                           "Cancel", nullptr, nullptr);
        });
    return answer;
}
} // namespace skin
