#include "app/version_report.h"
#include "device/device_info.h"
#include "device/hard_panel.h"
#include "platform/file_replace.h"
#include "platform/profile_ini.h"
#include "platform/program_folder.h"
#include "platform/system_info.h"
#include "platform/ui_language.h"
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
juce::String u8(const char* text)
{
    return juce::String(juce::CharPointer_UTF8(text));
}

void show_alert(const juce::String& title, const juce::String& text, juce::MessageBoxIconType icon)
{
    auto& look = juce::LookAndFeel::getDefaultLookAndFeel();
    look.setUsingNativeAlertWindows(false);
    juce::AlertWindow::showMessageBox(icon, title, text);
    look.setUsingNativeAlertWindows(true);
}
} // namespace

juce::String program_version()
{
    juce::StringArray lines;
    platform::program_file("\\current_version.txt").readLines(lines);
    return lines.isEmpty() ? juce::String() : lines[0];
}

juce::String about_text(bool english)
{
    return "Tavri" + (english ? juce::String(" Panel") : u8("控制面板 ")) + program_version();
}

juce::String version_report_text(const version_facts& f, bool english)
{
    juce::String t = (english ? juce::String("Panel:") : u8("控制面板:")) + f.programVersion;
    t << "\r\n\r\n" << u8("设备信息:\r\n");
    const char* labels[5] = {"  名字:", "  型号:", "  固件版本:", "  硬件版本:", "  序列号:"};
    for (int i = 0; i < 5; ++i)
        t << u8(labels[i]) << device_info_text(f.deviceInfo, (device_info_field)i) << "\r\n";
    t << u8("\r\n驱动信息:\r\n") << u8("  驱动版本:") << f.driverVersion << "\r\n"
      << u8("  设备名字:") << "\r\n";
    t << u8("\r\n系统信息:\r\n") << u8("  系统版本:") << f.versionText << "\r\n"
      << u8("  对应系统:") << f.systemName << "\r\n"
      << u8("  系统位数:") << (f.is64 ? u8("64位系统") : u8("32位系统")) << "\r\n";
    return t;
}

version_facts current_version_facts()
{
    version_facts f;
    f.programVersion = program_version();
    const auto v = platform::system_version();
    f.versionText = juce::String(v.major) + "." + juce::String(v.minor);
    const auto driverFile = platform::program_file(
        v.major < 10 ? "\\drv\\64\\tavriAudioDriverPro.inf" : "\\win10_driver\\64\\tavriAudioDriverPro.inf");
    f.driverVersion =
        platform::get_private_profile_string("Version", "DriverVer", "", driverFile).substring(0, 250);
    f.systemName = platform::system_name(v);
    f.is64 = platform::system_is_64_bit();
    if (auto* link = the_hard_panel()) f.deviceInfo = link->device_info();
    return f;
}

juce::File version_report_file(bool english)
{
    return platform::desktop_folder().getChildFile(english ? "VersionInfo.txt" : u8("版本信息.txt"));
}

void export_version_report()
{
    const bool english = platform::ui_is_english();
    const auto file = version_report_file(english);
    if (platform::replace_file(file, version_report_text(current_version_facts(), english)))
        show_alert(
            english ? "Tip" : u8("提示"),
            english ? "Version information has been saved to DesktopVersionInfo.txt. Please send this file "
                      "to Tavri customer service"
                    : u8("版本信息保存在桌面\\版本信息.txt，请把此文件发给Tavri客服！"),
            juce::MessageBoxIconType::InfoIcon);
    else // a report that was not written is not announced as saved
        show_alert(english ? "Tip" : u8("提示"),
                   english ? "The version information could not be saved to " + file.getFullPathName()
                           : u8("版本信息无法保存到 ") + file.getFullPathName(),
                   juce::MessageBoxIconType::WarningIcon);
}
