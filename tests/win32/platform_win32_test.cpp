// The platform layer on the real Win32 APIs (run under Wine by ctest).
#include "app/version_report.h"
#include "device/devbridge_api.h"
#include "platform/dynamic_library.h"
#include "platform/keyboard_hook.h"
#include "platform/program_folder.h"
#include "platform/system_info.h"
#include "platform/system_language.h"
#include "recorder/mp3_export.h"
#include "soundboard/hotkey_table.h"
#include "soundboard/mp3_player.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <vector>

// Windows' own header last: its macros must not reach the others.
#include <windows.h>

namespace
{
const juce::File dist(RX40_DIST_DIR);

juce::String u8(const char* text)
{
    return juce::String(juce::CharPointer_UTF8(text));
}

struct temp_folder
{
    juce::File dir;
    explicit temp_folder(const juce::String& name)
        : dir(juce::File::getSpecialLocation(juce::File::tempDirectory)
                  .getNonexistentChildFile(name, "", false))
    {
        dir.createDirectory();
    }
    ~temp_folder() { dir.deleteRecursively(); }
};
} // namespace

TEST(system_language, follows_the_locale)
{
    const char* expected = std::getenv("RX40_EXPECTED_LANG_ID");
    if (expected == nullptr) GTEST_SKIP() << "run by ctest with a locale";
    EXPECT_EQ(platform::system_default_lang_id(), (int)std::strtol(expected, nullptr, 16));
}

TEST(system_language, locale_names)
{
    const std::pair<const char*, int> cases[] = {
        {"zh_CN.UTF-8", 0x0804}, {"zh_TW.UTF-8", 0x0404}, {"en_US", 0x0409},
        {"de_DE.UTF-8", 0x0407}, {"nonsense", 0x0409},    {"", 0x0409},
    };
    for (auto [locale, id] : cases)
        EXPECT_EQ(platform::lang_id_of_locale(locale), id) << locale;
}

TEST(version_report, system_lines_are_the_system_s)
{
    // The running system's version from the kernel itself, beside the panel's way of asking.
    using rtl_get_version = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto getVersion = reinterpret_cast<rtl_get_version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(getVersion, nullptr);
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    ASSERT_EQ(getVersion(&v), 0);
    const auto version = juce::String((int)v.dwMajorVersion) + "." + juce::String((int)v.dwMinorVersion);

    const auto report = version_report_text(current_version_facts(), false);
    EXPECT_TRUE(report.contains(u8("  系统版本:") + version + "\r\n")) << report;
    EXPECT_TRUE(report.contains(
        u8("  对应系统:") + platform::system_name({(int)v.dwMajorVersion, (int)v.dwMinorVersion}) + "\r\n"))
        << report;
    EXPECT_TRUE(report.contains(u8("  系统位数:64位系统\r\n")))
        << report; // a 64-bit system, whatever our width
}

TEST(version_report, the_windows_name_table)
{
    const std::pair<platform::os_version, const char*> cases[] = {
        {{5, 0}, "Windows 2000"},  {{5, 1}, "Windows XP"},  {{5, 2}, "Windows XP 64-Bit Edition"},
        {{6, 0}, "Windows Vista"}, {{6, 1}, "Windows 7"},   {{6, 2}, "Windows 8"},
        {{6, 3}, "Windows 8.1"},   {{10, 0}, "Windows 10"}, {{11, 0}, "未知版本"},
        {{6, 4}, "未知版本"},
    };
    for (auto& [version, name] : cases)
        EXPECT_EQ(platform::system_name(version), u8(name)) << version.major << "." << version.minor;
}

namespace
{
struct seen_key
{
    int message, virtualKey, code;
};
std::vector<seen_key> seenKeys;

void record_key(int hookCode, const platform::key_event& event)
{
    if (hookCode < 0) return;
    seenKeys.push_back({event.message, event.virtual_key,
                        hotkey::make(event.virtual_key, platform::async_key_down(platform::vk_menu),
                                     platform::async_key_down(platform::vk_control),
                                     platform::async_key_down(platform::vk_shift))});
}

void send_keys(std::initializer_list<std::pair<WORD, bool>> keys) // (virtual key, down)
{
    std::vector<INPUT> inputs;
    for (auto [vk, down] : keys)
    {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = (WORD)MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

// The hook procedure runs from this thread's message loop.
void pump_until(size_t count)
{
    const auto end = GetTickCount() + 3000;
    while (seenKeys.size() < count && GetTickCount() < end)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
}
} // namespace

// Keys injected through SendInput reach the hook with their messages, and the modifiers read
// at that moment make the table's codes.
TEST(keyboard_hook, translates_injected_keys)
{
    auto hook = platform::set_keyboard_hook(record_key);
    ASSERT_NE(hook, nullptr);
    seenKeys.clear();
    send_keys({{VK_NUMPAD1, true}, {VK_NUMPAD1, false}});
    send_keys({{VK_LCONTROL, true}, {VK_F5, true}, {VK_F5, false}, {VK_LCONTROL, false}});
    send_keys({{VK_LSHIFT, true}, {'2', true}, {'2', false}, {VK_LSHIFT, false}});
    send_keys({{VK_LMENU, true}, {'A', true}, {'A', false}, {VK_LMENU, false}});
    send_keys({{VK_LCONTROL, true},
               {VK_LMENU, true},
               {'B', true},
               {'B', false},
               {VK_LMENU, false},
               {VK_LCONTROL, false}});
    pump_until(20);
    platform::unhook_keyboard(hook);

    auto downs_of = [](int vk)
    {
        std::vector<seen_key> out;
        for (auto& k : seenKeys)
            if (k.virtualKey == vk &&
                (k.message == platform::wm_keydown || k.message == platform::wm_syskeydown))
                out.push_back(k);
        return out;
    };
    ASSERT_EQ(seenKeys.size(), 20u);
    ASSERT_EQ(downs_of(VK_NUMPAD1).size(), 1u);
    EXPECT_EQ(downs_of(VK_NUMPAD1)[0].code, hotkey::keypad(1));
    EXPECT_EQ(downs_of(VK_NUMPAD1)[0].message, platform::wm_keydown);
    ASSERT_EQ(downs_of(VK_F5).size(), 1u);
    EXPECT_EQ(downs_of(VK_F5)[0].code, hotkey::make(VK_F5, false, true, false));
    ASSERT_EQ(downs_of('2').size(), 1u);
    EXPECT_EQ(downs_of('2')[0].code, hotkey::make('2', false, false, true));
    // Alt without Ctrl: a system key-down, which never matches a hotkey.
    ASSERT_EQ(downs_of('A').size(), 1u);
    EXPECT_EQ(downs_of('A')[0].message, platform::wm_syskeydown);
    // Ctrl+Alt: a plain key-down with both modifiers.
    ASSERT_EQ(downs_of('B').size(), 1u);
    EXPECT_EQ(downs_of('B')[0].message, platform::wm_keydown);
    EXPECT_EQ(downs_of('B')[0].code, hotkey::make('B', true, true, false));
    // Key-ups are seen too, and the modifiers are up again afterwards.
    EXPECT_EQ(seenKeys.back().message, platform::wm_keyup);
    EXPECT_FALSE(platform::async_key_down(platform::vk_control));
}

// The three run-time libraries load by name and have every entry point the panel looks up.
TEST(runtime_libraries, load_by_name_with_their_entry_points)
{
    const auto api = devbridge_api::bind(dist.getChildFile("devbridge.dll"));
    EXPECT_NE(api.initHIDCtrl, nullptr);
    EXPECT_NE(api.SendUIPara, nullptr);
    EXPECT_NE(api.getUIPara, nullptr);
    EXPECT_NE(api.getDeviceInfo, nullptr);
    EXPECT_NE(api.getConDeviceInfo, nullptr);
    EXPECT_NE(api.getUpdateInfo, nullptr);
    EXPECT_NE(api.SendUIParaP12MIC, nullptr);
    EXPECT_NE(api.SendUIParaP12Setting, nullptr);
    EXPECT_NE(api.SetEnv, nullptr);
    EXPECT_TRUE(api.width_problem.isEmpty());

    mp3_player player;
    player.bind(dist.getChildFile("libmp3.dll"));
    EXPECT_NE(player.Load, nullptr);
    EXPECT_NE(player.Play, nullptr);
    EXPECT_NE(player.Stop, nullptr);
    EXPECT_NE(player.SetVolume, nullptr);
    EXPECT_NE(player.KeepOutputOpen, nullptr);
    player.unbind();

    auto encoder = platform::load_library(dist.getChildFile("mp3.dll"));
    ASSERT_NE(encoder, nullptr);
    for (auto* name : {"MPGE_initializeWork", "MPGE_setConfigure", "MPGE_detectConfigure",
                       "MPGE_getConfigure", "MPGE_processFrame", "MPGE_closeCoder"})
        EXPECT_NE(platform::get_proc_address(encoder, name), nullptr) << name;
    platform::free_library(encoder);

    EXPECT_EQ(platform::load_library(dist.getChildFile("nosuch.dll")), nullptr);
    EXPECT_EQ(platform::last_load_error(), 126u);
}

// A library of the other width: the load fails with ERROR_BAD_EXE_FORMAT, and the user is told
// which panel to install. The fixture is our own library with its machine field made i386's.
TEST(runtime_libraries, a_library_of_the_other_width_is_named_so)
{
    temp_folder folder(u8("宽度 width"));
    const auto library = folder.dir.getChildFile("devbridge.dll");
    ASSERT_TRUE(dist.getChildFile("devbridge.dll").copyFileTo(library));
    EXPECT_EQ(platform::library_bits(library), 64);
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE(library.loadFileAsData(bytes));
        auto* data = static_cast<uint8_t*>(bytes.getData());
        const uint32_t pe = (uint32_t)data[60] | (uint32_t)data[61] << 8;
        data[pe + 4] = 0x4c;
        data[pe + 5] = 0x01;
        ASSERT_TRUE(library.replaceWithData(bytes.getData(), bytes.getSize()));
    }
    EXPECT_EQ(platform::library_bits(library), 32);
    const auto api = devbridge_api::bind(library);
    EXPECT_EQ(api.initHIDCtrl, nullptr);
    EXPECT_EQ(platform::last_load_error(), platform::error_bad_exe_format);
    EXPECT_EQ(api.width_problem, devbridge_api::width_message(32, 64));
    EXPECT_TRUE(api.width_problem.contains(u8("32 位"))) << api.width_problem;

    // Not a library at all: no width, and no width message (the plain debug line only).
    library.replaceWithText("MZ but nothing more");
    EXPECT_EQ(platform::library_bits(library), 0);
    EXPECT_EQ(platform::library_bits(folder.dir.getChildFile("missing.dll")), 0);
}

// The encoder gets its paths in the ANSI code page: a take in a folder whose name is outside
// ASCII but inside the code page exports.
TEST(runtime_libraries, mp3_export_through_the_ansi_code_page)
{
    const auto encoder = mp3_encoder_file(); // beside this test program: the program folder
    ASSERT_TRUE(dist.getChildFile("mp3.dll").copyFileTo(encoder));
    temp_folder folder(u8("prise café"));
    const auto wav = folder.dir.getChildFile("take.wav"), mp3 = folder.dir.getChildFile(u8("take é.mp3"));
    {
        juce::WavAudioFormat format;
        std::unique_ptr<juce::AudioFormatWriter> writer(
            format.createWriterFor(new juce::FileOutputStream(wav), 48000, 2, 16, {}, 0));
        ASSERT_NE(writer, nullptr);
        juce::AudioBuffer<float> tone(2, 48000);
        for (int i = 0; i < tone.getNumSamples(); ++i)
            tone.setSample(0, i, 0.3f * std::sin(i * 0.05f)), tone.setSample(1, i, tone.getSample(0, i));
        ASSERT_TRUE(writer->writeFromAudioSampleBuffer(tone, 0, tone.getNumSamples()));
    }
    EXPECT_EQ(export_mp3(wav.getFullPathName(), mp3.getFullPathName()), 0);
    EXPECT_GT(mp3.getSize(), 4000);
    encoder.deleteFile();
}
