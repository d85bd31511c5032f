#pragma once
#include "app/battery_notice.h"
#include <juce_gui_extra/juce_gui_extra.h>

// The program in the notification area: a left click shows the hidden window, a right click
// offers the version report, the about box and exit.
// Its tooltip also shows a wireless unit's battery (the framework's own tooltip where the system
// tray has none).
class mytrayicon : public juce::SystemTrayIconComponent,
                   public juce::SettableTooltipClient,
                   private juce::Timer
{
  public:
    explicit mytrayicon(juce::Component* ownerWindow);
    ~mytrayicon() override;

    void mouseDown(const juce::MouseEvent& e) override;
    // 1 version report, 2 about box, 3 exit; anything else nothing.
    static void menu_chosen(int item);
    static juce::PopupMenu tray_menu();
    // A wireless unit's battery level 1-6, 0 when none is connected.
    void show_battery(int level);

  private:
    void timerCallback() override;
    void show_tooltip(const juce::String& text);

    juce::Component* owner;
    battery_notice battery;
    juce::TooltipWindow tooltipWindow{nullptr, 500};
};
