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
} // namespace skin
