#pragma once
#include "skin/image_looks.h"
#include <juce_gui_basics/juce_gui_basics.h>

class enum_panel;

// One pad of the sound board: the name button plays the sound, the shortcut button shows and
// plays the hotkey, the delete button removes the file, the menu button sets the hotkey.
class sound_button : public juce::Component, public juce::Button::Listener
{
  public:
    // SOUND_FILE: the file the pad was made from, the one its delete button removes.
    sound_button(const juce::File& soundFile, const juce::String& soundName, int hotkeyCode);
    ~sound_button() override;

    // Lays the buttons out for the current code and, with a code, labels the shortcut button.
    void relabel();
    void buttonClicked(juce::Button* button) override;
    // The menu's chosen item: 1 clear, 2-10 keypad 1-9, 11 custom; 0 nothing.
    void menu_chosen(int item);
    // The menu's items, for the menu and for tests.
    static juce::PopupMenu shortcut_menu();

    const juce::File file;
    juce::String name;
    int code = 0;

    juce::TextButton& name_button() { return nameButton; }
    juce::TextButton& shortcut_button() { return shortcutButton; }
    juce::TextButton& delete_button() { return deleteButton; }
    juce::TextButton& menu_button() { return menuButton; }

  private:
    void lay_out(bool withHotkey);
    enum_panel* engine() const;
    void post(const juce::String& command, const juce::String& argument = {}) const;
    juce::Point<int> menu_position() const;

    flat_btn_look2 nameLook, shortcutLook, deleteLook, menuLook;
    juce::TextButton nameButton, shortcutButton, deleteButton, menuButton;
};
