#include "platform/tray_notification.h"

namespace platform
{
void show_tray_notification(juce::SystemTrayIconComponent& tray, const juce::String& title,
                            const juce::String& text)
{
    tray.showInfoBubble(title, text);
}
} // namespace platform
