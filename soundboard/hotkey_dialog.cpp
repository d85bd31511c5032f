#include "soundboard/hotkey_dialog.h"
#include "platform/key_codes.h"
#include "platform/ui_language.h"
#include "soundboard/hotkey_table.h"

namespace
{
struct pressed
{
    int keyCode;
    bool ctrl, shift, alt;
};
pressed read(const juce::KeyPress& key)
{
    const auto m = key.getModifiers();
    return {platform::windows_key_code(key), m.isCtrlDown(), m.isShiftDown(), m.isAltDown()};
}
} // namespace

GetHotKeyPanel::GetHotKeyPanel()
{
    setSize(180, 80);
    promptLabel.setText(platform::tr("请按快捷键...", "Please press the shortcut key..."),
                        juce::dontSendNotification);
    promptLabel.setBounds(10, 10, 160, 30);
    confirmButton.setButtonText(platform::tr("确定", "Confirm"));
    confirmButton.setBounds(40, 45, 100, 30);
    confirmButton.addListener(this);
    confirmButton.setWantsKeyboardFocus(false); // every key is for capturing
    addAndMakeVisible(promptLabel);
    addAndMakeVisible(confirmButton);
}

GetHotKeyPanel::~GetHotKeyPanel()
{
    confirmButton.removeListener(this);
}

bool GetHotKeyPanel::keyPressed(const juce::KeyPress&, juce::Component*)
{
    return false;
}

void GetHotKeyPanel::buttonClicked(juce::Button*)
{
    if (auto* parent = getParentComponent()) parent->postCommandMessage(1);
}

HotKeyDialog::HotKeyDialog()
    : juce::DocumentWindow(juce::String(juce::CharPointer_UTF8("设置快捷键")), juce::Colours::white,
                           juce::DocumentWindow::closeButton, true)
{
    setBounds(getX(), getY(), 120, 60);
    setContentOwned(new GetHotKeyPanel(), true);
    addKeyListener(this);
    setWantsKeyboardFocus(true);
    systemKeys = platform::key_capture::for_window(getWindowHandle(), [this](const platform::captured_key& k)
                                                   { take(k.key_code, k.ctrl, k.shift, k.alt); });
}

HotKeyDialog::~HotKeyDialog()
{
    removeKeyListener(this);
}

bool HotKeyDialog::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    if (systemKeys == nullptr)
    {
        const auto p = read(key);
        take(p.keyCode, p.ctrl, p.shift, p.alt);
    }
    return false; // the key goes on
}

void HotKeyDialog::take(int keyCode, bool ctrlHeld, bool shiftHeld, bool altHeld)
{
    panel().prompt().setText(hotkey::dialog_label(keyCode, ctrlHeld, shiftHeld, altHeld),
                             juce::dontSendNotification);
    capturedCode = hotkey::dialog_code(keyCode, ctrlHeld, shiftHeld, altHeld);
}

void HotKeyDialog::handleCommandMessage(int command)
{
    if (command != 1) return;
    resultCode = capturedCode;
    exitModalState(capturedCode);
}

void HotKeyDialog::closeButtonPressed()
{
    exitModalState(0);
}

int HotKeyDialog::capture(juce::Point<int> position)
{
    HotKeyDialog dialog;
    dialog.setTopLeftPosition(position);
    dialog.setVisible(true);
    dialog.toFront(true);
    return dialog.runModalLoop();
}
