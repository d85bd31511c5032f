#pragma once
#include "platform/key_capture.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The content of the capture window: the prompt that shows the pressed combination and the
// confirm button.
class GetHotKeyPanel : public juce::Component, public juce::KeyListener, public juce::Button::Listener
{
  public:
    GetHotKeyPanel();
    ~GetHotKeyPanel() override;
    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;
    void buttonClicked(juce::Button* button) override;

    juce::Label& prompt() { return promptLabel; }
    juce::TextButton& confirm_button() { return confirmButton; }

  private:
    juce::Label promptLabel;
    juce::TextButton confirmButton;
};

// The modal window that waits for a key combination and returns it as a hotkey code.
class HotKeyDialog : public juce::DocumentWindow, public juce::KeyListener
{
  public:
    HotKeyDialog();
    ~HotKeyDialog() override;

    // The framework's key presses, used only where the system's own key events cannot be read.
    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;
    // A press of framework key code KEY_CODE with the modifiers: the label and the captured code.
    void take(int keyCode, bool ctrlHeld, bool shiftHeld, bool altHeld);
    void handleCommandMessage(int command) override;
    void closeButtonPressed() override;

    // Shows a dialog with its top-left corner at POSITION (screen) and runs it modally: the
    // captured code after a confirm, 0 after the close button.
    static int capture(juce::Point<int> position);

    int captured() const { return capturedCode; }
    int result() const { return resultCode; }
    GetHotKeyPanel& panel() { return *static_cast<GetHotKeyPanel*>(getContentComponent()); }

  private:
    int capturedCode = 0;
    int resultCode = 0;
    std::unique_ptr<platform::key_capture> systemKeys; // the keys as the system reports them
};
