#pragma once
#include <juce_gui_extra/juce_gui_extra.h>

namespace platform
{
// Shows a short notice from the program in the notification area: the tray icon's balloon on
// Windows; on X11 the desktop's notification service, and nothing (no error either) when none
// runs. Never waits for the desktop.
void show_tray_notification(juce::SystemTrayIconComponent& tray, const juce::String& title,
                            const juce::String& text);
} // namespace platform
