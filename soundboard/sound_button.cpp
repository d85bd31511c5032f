#include "soundboard/sound_button.h"
#include "device/my_message.h"
#include "platform/ui_language.h"
#include "skin/tip_box.h"
#include "soundboard/enum_panel.h"
#include "soundboard/hotkey_dialog.h"

sound_button::sound_button(const juce::File& soundFile, const juce::String& soundName, int hotkeyCode)
    : file(soundFile), name(soundName), code(hotkeyCode)
{
    nameLook.set_images("tx\\3.png", "tx\\4.png", "tx\\1.png", "tx\\1.png");
    shortcutLook.set_images("tx\\3.png", "tx\\4.png", "tx\\1.png", "tx\\1.png");
    deleteLook.set_images("txdel\\3.png", "txdel\\4.png", "txdel\\1.png", "txdel\\1.png");
    menuLook.set_images("txdown\\3.png", "txdown\\4.png", "txdown\\1.png", "txdown\\1.png");
    nameButton.setLookAndFeel(&nameLook);
    shortcutButton.setLookAndFeel(&shortcutLook);
    deleteButton.setLookAndFeel(&deleteLook);
    menuButton.setLookAndFeel(&menuLook);
    nameButton.setButtonText(name);
    for (auto* b : {&nameButton, &shortcutButton})
    {
        b->setColour(juce::TextButton::textColourOffId, juce::Colours::white);
        b->setColour(juce::TextButton::textColourOnId, juce::Colours::white);
    }
    for (auto* b : {&nameButton, &shortcutButton, &deleteButton, &menuButton})
    {
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    deleteButton.setBounds(71, 0, 21, 17);
    menuButton.setBounds(71, 17, 21, 17);
    setSize(92, 34);
    relabel();
}

sound_button::~sound_button()
{
    for (auto* b : {&nameButton, &shortcutButton, &deleteButton, &menuButton})
    {
        b->removeListener(this);
        b->setLookAndFeel(nullptr);
    }
}

void sound_button::lay_out(bool withHotkey)
{
    nameButton.setBounds(0, 0, 71, withHotkey ? 17 : 34);
    shortcutButton.setBounds(0, 17, 71, withHotkey ? 17 : 0);
}

void sound_button::relabel()
{
    lay_out(code != 0);
    if (code != 0) shortcutButton.setButtonText(hotkey::pad_label(code, platform::ui_is_english()));
}

enum_panel* sound_button::engine() const
{
    return dynamic_cast<enum_panel*>(getParentComponent());
}

void sound_button::post(const juce::String& command, const juce::String& argument) const
{
    if (auto* e = engine()) post_command(*e, command, argument);
}

juce::Point<int> sound_button::menu_position() const
{
    return nameButton.getScreenPosition().translated(0, 30);
}

juce::PopupMenu sound_button::shortcut_menu()
{
    using platform::tr;
    juce::PopupMenu menu;
    menu.addItem(1, tr("清除快捷键", "Clear Shortcut"));
    for (int n = 1; n <= 9; ++n)
        menu.addItem(n + 1, tr("小键盘 ", "Numpad ") + juce::String(n));
    menu.addItem(11, tr("自定义...", "Custom..."));
    return menu;
}

void sound_button::buttonClicked(juce::Button* button)
{
    if (button == &nameButton || button == &shortcutButton)
    {
        post("play", nameButton.getButtonText());
    }
    else if (button == &deleteButton)
    {
        using platform::tr;
        const int answer =
            skin::ask_yes_no_cancel(tr("确认删除此特效声吗?", "Confirm to delete this sound effect?"));
        if (answer == 1)
        {
            file.deleteFile(); // not the name's file: a pad may come from a subfolder or another extension
            post("reload all sounds");
        }
    }
    else if (button == &menuButton)
    {
        const auto at = menu_position();
        menu_chosen(shortcut_menu().showMenu(
            juce::PopupMenu::Options().withTargetScreenArea(juce::Rectangle<int>(at.x, at.y, 1, 1))));
    }
}

void sound_button::menu_chosen(int item)
{
    auto* e = engine();
    if (item == 1)
    {
        lay_out(false);
        if (code != 0 && e != nullptr) e->update_table(2, {}, code);
        code = 0;
    }
    else if (item >= 2 && item <= 10)
    {
        lay_out(false);
        post("stop sound thread");
        if (code != 0 && e != nullptr) e->update_table(2, {}, code);
        code = hotkey::keypad(item - 1);
        if (e != nullptr) e->update_table(1, nameButton.getButtonText(), code);
        post("start sound thread");
        post("refresh buttons");
    }
    else if (item == 11)
    {
        post("stop sound thread");
        const int result = HotKeyDialog::capture(menu_position());
        if (result != 0)
        {
            if (e != nullptr) e->update_table(2, name, code);
            code = result;
            lay_out(true);
            if (e != nullptr) e->update_table(1, name, code);
            shortcutButton.setButtonText(hotkey::pad_label(code, platform::ui_is_english()));
        }
        post("start sound thread");
        post("refresh buttons");
    }
}
