#include "app/mytrayicon.h"
#include "app/version_report.h"
#include "tests/alert_watch.h"
#include "tests/fake_devbridge.h"
#include <cstring>
#include <gtest/gtest.h>

namespace
{
juce::String u8(const char* t)
{
    return juce::String(juce::CharPointer_UTF8(t));
}

} // namespace

TEST(version_report, exact_text)
{
    std::array<uint8_t, 250> info{};
    std::memcpy(info.data(), "Tavri", 5);
    std::memcpy(info.data() + 50, "KQ3", 3);
    std::memcpy(info.data() + 100, "1.2.3", 5);
    std::memcpy(info.data() + 150, "H2", 2);
    std::memset(info.data() + 200, 'S', 50); // a full field without its zero byte
    version_facts f{"2.0.1", "10/01/2024,1.0", "6.1", "Debian GNU/Linux 12 (bookworm)", true, info.data()};
    EXPECT_EQ(version_report_text(f, false),
              u8("控制面板:2.0.1\r\n\r\n设备信息:\r\n  名字:Tavri\r\n  型号:KQ3\r\n  固件版本:1.2.3\r\n  "
                 "硬件版本:H2\r\n  序列号:") +
                  juce::String::repeatedString("S", 50) +
                  u8("\r\n\r\n驱动信息:\r\n  驱动版本:10/01/2024,1.0\r\n  设备名字:\r\n\r\n系统信息:\r\n  "
                     "系统版本:6.1\r\n"
                     "  对应系统:Debian GNU/Linux 12 (bookworm)\r\n  系统位数:64位系统\r\n"));
    // Disconnected: the device lines are empty; 32 bits; English starts with "Panel:".
    f.deviceInfo = nullptr;
    f.is64 = false;
    const auto english = version_report_text(f, true);
    EXPECT_TRUE(english.startsWith("Panel:2.0.1\r\n"));
    EXPECT_TRUE(english.contains(u8("  名字:\r\n  型号:\r\n")));
    EXPECT_TRUE(english.endsWith(u8("  系统位数:32位系统\r\n")));
}

TEST(version_report, about_and_menu_texts)
{
    EXPECT_EQ(about_text(false), u8("Tavri控制面板 ") + program_version());
    EXPECT_EQ(about_text(true), "Tavri Panel" + program_version());
    auto menu = mytrayicon::tray_menu();
    juce::StringArray items;
    for (juce::PopupMenu::MenuItemIterator i(menu); i.next();)
        items.add(juce::String(i.getItem().itemID) + " " + i.getItem().text);
    EXPECT_EQ(items, juce::StringArray(u8("1 导出版本信息"), u8("2 关于面板"), u8("3 退出面板")));
}

TEST(version_report, written_to_the_desktop_or_said_not_to_be)
{
    const juce::String home = juce::SystemStats::getEnvironmentVariable("HOME", {});
    juce::TemporaryFile folder;
    folder.getFile().createDirectory();
    setenv("HOME", folder.getFile().getFullPathName().toRawUTF8(), 1);
    const auto desktop = folder.getFile().getChildFile("Desktop");

    desktop.createDirectory();
    alert_watch box;
    box.answer();
    export_version_report();
    EXPECT_EQ(box.seen, u8("提示. 版本信息保存在桌面\\版本信息.txt，请把此文件发给Tavri客服！"));
    const auto report = desktop.getChildFile(u8("版本信息.txt"));
    ASSERT_TRUE(report.existsAsFile());
    juce::MemoryBlock bytes;
    report.loadFileAsData(bytes);
    EXPECT_NE(((const uint8_t*)bytes.getData())[0], 0xEF); // no byte-order mark
    EXPECT_TRUE(report.loadFileAsString().contains(u8("\r\n系统信息:\r\n")));

    // A desktop that cannot take the file: a failure message, not "saved".
    desktop.deleteRecursively();
    desktop.replaceWithText("not a folder");
    box.answer();
    export_version_report();
    EXPECT_TRUE(box.seen.startsWith(u8("提示. 版本信息无法保存到"))) << box.seen;
    EXPECT_FALSE(desktop.isDirectory());
    setenv("HOME", home.toRawUTF8(), 1);
    folder.getFile().deleteRecursively();
}
