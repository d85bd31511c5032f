#pragma once
#include "app/main_panel.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The only top-level window: fixed size, closing only hides it.
class MainHostWindow : public juce::DocumentWindow
{
  public:
    MainHostWindow();
    ~MainHostWindow() override;

    void closeButtonPressed() override;
    void minimiseButtonPressed() override;
    void maximiseButtonPressed() override {}
    void mouseDoubleClick(const juce::MouseEvent&) override {}
    void handleCommandMessage(int commandId) override;

    main_panel* panel() { return dynamic_cast<main_panel*>(getContentComponent()); }

  private:
    void show_width_toggle(bool shown);
};
