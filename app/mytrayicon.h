#pragma once
#include <juce_gui_extra/juce_gui_extra.h>

// The program in the notification area: a left click shows the hidden window, a right click
// offers the version report, the about box and exit.
class mytrayicon : public juce::SystemTrayIconComponent, private juce::Timer
{
  public:
    explicit mytrayicon(juce::Component* ownerWindow);
    ~mytrayicon() override;

    void mouseDown(const juce::MouseEvent& e) override;
    // 1 version report, 2 about box, 3 exit; anything else nothing.
    static void menu_chosen(int item);
    static juce::PopupMenu tray_menu();

  private:
    void timerCallback() override;
    juce::Component* owner;
};
