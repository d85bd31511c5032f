#include "app/mytrayicon.h"
#include "app/version_report.h"
#include "platform/program_folder.h"
#include "platform/tray_notification.h"
#include "platform/ui_language.h"
#include "platform/window_hints.h"
#include <cstdio>

mytrayicon::mytrayicon(juce::Component* ownerWindow) : owner(ownerWindow)
{
    const auto icon = juce::ImageCache::getFromFile(platform::program_file("\\icon.png"));
    if (icon.isValid()) // no icon file: no icon in the tray
    {
        // The tray sizes the icon from the window's hints when it docks, so they come first.
        setSize(24, 24);
        addToDesktop(0);
        platform::set_minimum_window_size(getWindowHandle(), 24, 24);
        setIconImage(icon, icon);
    }
    show_tooltip(battery_notice::tooltip_for(0, false));
}

void mytrayicon::show_tooltip(const juce::String& text)
{
    const auto shown = text.substring(0, 255);
    if (shown == getTooltip()) return;
    setIconTooltip(shown);
    setTooltip(shown);
    std::printf("tray tooltip: %s\n", shown.toRawUTF8());
}

void mytrayicon::show_battery(int level)
{
    const bool english = platform::ui_is_english();
    const auto s = battery.update(level, english);
    show_tooltip(s.tooltip);
    if (!s.warn) return;
    const auto text = battery_notice::low_text(english);
    std::printf("tray notification: %s\n", text.toRawUTF8());
    platform::show_tray_notification(*this, battery_notice::tooltip_for(0, english), text);
}

mytrayicon::~mytrayicon()
{
    stopTimer();
}

void mytrayicon::mouseDown(const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
    {
        // The menu opens from a timer, not inside the tray click.
        startTimer(50);
    }
    else if (e.mods.isLeftButtonDown() && owner != nullptr)
    {
        if (!owner->isVisible())
            owner->setVisible(true);
        else if (!owner->isShowing())
            owner->toFront(true);
    }
}

juce::PopupMenu mytrayicon::tray_menu()
{
    using platform::tr;
    juce::PopupMenu menu;
    menu.addItem(1, tr("导出版本信息", "Export Version Info"));
    menu.addItem(2, tr("关于面板", "About Panel"));
    menu.addItem(3, tr("退出面板", "Exit Panel"));
    return menu;
}

void mytrayicon::timerCallback()
{
    stopTimer();
    juce::Component::SafePointer<mytrayicon> self(this);
    tray_menu().showMenuAsync(juce::PopupMenu::Options(),
                              [self](int item)
                              {
                                  if (self != nullptr) menu_chosen(item);
                              });
}

void mytrayicon::menu_chosen(int item)
{
    if (item == 3)
    {
        if (auto* app = juce::JUCEApplicationBase::getInstance()) app->systemRequestedQuit();
    }
    else if (item == 2)
    {
        auto& look = juce::LookAndFeel::getDefaultLookAndFeel();
        look.setUsingNativeAlertWindows(false);
        juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, platform::tr("关于", "About"),
                                          about_text(platform::ui_is_english()));
        look.setUsingNativeAlertWindows(true);
    }
    else if (item == 1)
        export_version_report();
}
