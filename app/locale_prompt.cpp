#include "app/locale_prompt.h"
#include "platform/command_runner.h"
#include "platform/program_settings.h"
#include "platform/system_language.h"
#include "platform/ui_language.h"
#include <juce_gui_basics/juce_gui_basics.h>

void locale_prompt()
{
    locale_prompt(platform::system_default_lang_id());
}

void locale_prompt(int language)
{
    if (platform::ui_is_english()) return;
    if (language == 0 || language == 0x0804) return;
    if (platform::read_pset("language", 1) != 1) return;

    auto& look = juce::LookAndFeel::getDefaultLookAndFeel();
    look.setUsingNativeAlertWindows(false);
    juce::AlertWindow box(juce::String(juce::CharPointer_UTF8("提示")),
                          juce::String(juce::CharPointer_UTF8(
                              "您电脑设置的语言不是中文，这样会导致一些功能异常，您可以打开设置面板，然后点 "
                              "管理-->更改系统区域设置，然后选择\"中文（简体，中国）\",设置后需要重启电脑")),
                          juce::MessageBoxIconType::InfoIcon);
    box.addButton(juce::String(juce::CharPointer_UTF8("打开设置面板")), 1);
    box.addButton(juce::String(juce::CharPointer_UTF8("以后不再提示")), 2);
    box.addButton(juce::String(juce::CharPointer_UTF8("退出")), 0, juce::KeyPress(juce::KeyPress::escapeKey));
    const int answer = box.runModalLoop();
    if (answer == 1)
        platform::run_command("rundll32.exe shell32.dll,Control_RunDLL intl.cpl");
    else if (answer == 2)
        platform::write_pset_language_off();
    look.setUsingNativeAlertWindows(true);
}
