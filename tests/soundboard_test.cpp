#include "platform/keyboard_hook.h"
#include "platform/program_settings.h"
#include "soundboard/hotkey_dialog.h"
#include "soundboard/sound_button.h"
#include "soundboard/special_voice_panel.h"
#include "tests/alert_watch.h"
#include "tests/fake_devbridge.h"
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
const juce::String cn(juce::CharPointer_UTF8("小键盘"));

std::vector<std::string>& player_calls()
{
    static std::vector<std::string> calls;
    return calls;
}
int fake_load(const char16_t* path)
{
    player_calls().push_back(
        "Load " +
        juce::String(juce::CharPointer_UTF16((const juce::CharPointer_UTF16::CharType*)path)).toStdString());
    return 0;
}
int fake_play()
{
    player_calls().push_back("Play");
    return 0;
}
int fake_stop()
{
    player_calls().push_back("Stop");
    return 0;
}
int fake_volume(int level)
{
    player_calls().push_back("SetVolume " + std::to_string(level));
    return 0;
}
int fake_keep(int on)
{
    player_calls().push_back("KeepOutputOpen " + std::to_string(on));
    return 0;
}

// The tests' program folder with a sound folder of the given files.
struct sound_folder : testing::Test
{
    void SetUp() override
    {
        enum_panel::sound_folder().deleteRecursively();
        enum_panel::sound_folder().createDirectory();
        hotkey_table::default_file().deleteFile();
        platform::settings_file().getParentDirectory().createDirectory();
        platform::settings_file().deleteFile();
        player_calls().clear();
    }
    void TearDown() override
    {
        enum_panel::sound_folder().deleteRecursively();
        hotkey_table::default_file().deleteFile();
    }
    static void add(const juce::String& relative)
    {
        auto f = enum_panel::sound_folder().getChildFile(relative);
        f.getParentDirectory().createDirectory();
        f.replaceWithText("not really an mp3");
    }
    static void save_table(std::initializer_list<std::pair<int, const char*>> entries)
    {
        hotkey_table t;
        for (auto [code, name] : entries)
            t.set(code, name);
        ASSERT_TRUE(t.save());
    }
    static sound_button& pad_named(enum_panel& e, const juce::String& name)
    {
        for (int i = 0; i < e.pad_count(); ++i)
            if (e.pad(i).name == name) return e.pad(i);
        throw std::runtime_error(name.toStdString());
    }
    static void bind_fake(enum_panel& e)
    {
        auto& p = e.player();
        p.Load = fake_load;
        p.Play = fake_play;
        p.Stop = fake_stop;
        p.SetVolume = fake_volume;
        p.KeepOutputOpen = fake_keep;
    }
    static std::vector<std::string> played(const juce::String& name, int level)
    {
        return {"Stop", "Load " + enum_panel::sound_file(name).getFullPathName().toStdString(),
                "SetVolume " + std::to_string(level), "Play"};
    }
};
} // namespace

TEST(hotkey_file, exact_text_and_round_trip)
{
    const juce::String header = "<?xml version=\"1.0\" encoding=\"UTF - 8\"?><hotkey>";
    hotkey_table t;
    t.set(hotkey::keypad(1), "abc");
    EXPECT_EQ(t.file_text(), header + "<item file=\"3.gI1X\"  key=\"6356992\" /></hotkey>");

    // Non-ASCII names and several entries survive a save and a load, byte for byte.
    const juce::String chinese(juce::CharPointer_UTF8("掌声 ✓"));
    t.set(0x00410006, chinese);
    t.set(hotkey::keypad(9), "x.y");
    juce::TemporaryFile file(".xml");
    ASSERT_TRUE(t.save(file.getFile()));
    hotkey_table back;
    back.load(file.getFile());
    EXPECT_EQ(back.size(), 3);
    EXPECT_EQ(back.name_of(0x00410006), chinese);
    EXPECT_EQ(back.file_text(), t.file_text());
    EXPECT_EQ(file.getFile().loadFileAsString(), t.file_text());

    // Removing every entry leaves the header and the end.
    for (int code : {hotkey::keypad(1), 0x00410006, hotkey::keypad(9)})
        t.remove(code);
    ASSERT_TRUE(t.save(file.getFile()));
    EXPECT_EQ(file.getFile().loadFileAsString(), header + "</hotkey>");
}

TEST(hotkey_file, reading)
{
    struct
    {
        const char* what;
        std::string text;
        int size;
        int code;
        juce::String name;
    } cases[] = {
        {"names of elements and attributes are not looked at", "<a><x b=\"3.gI1X\" c=\"6356992\"/></a>", 1,
         6356992, "abc"},
        {"a later code replaces an earlier one",
         "<hotkey><item file=\"3.gI1X\" key=\"5\"/><item file=\"1.3A\" key=\"5\"/></hotkey>", 1, 5, "x"},
        {"no full stop: an empty name", "<hotkey><item file=\"gI1X\" key=\"7\"/></hotkey>", 1, 7, ""},
        {"atoi rules", "<hotkey><item file=\"3.gI1X\" key=\" 12abc\"/></hotkey>", 1, 12, "abc"},
        {"not a document", "<hotkey><item", 0, 0, ""},
        {"a stray byte is repaired, the rest read",
         std::string("<hotkey><item file=\"3.gI1X\" key=\"1\"/></hotkey>\xe6"), 1, 1, "abc"},
    };
    for (auto& c : cases)
    {
        juce::TemporaryFile file(".xml");
        file.getFile().replaceWithData(c.text.data(), c.text.size());
        hotkey_table t;
        t.load(file.getFile());
        EXPECT_EQ(t.size(), c.size) << c.what;
        if (c.size > 0)
        {
            EXPECT_EQ(t.name_of(c.code), c.name) << c.what;
        }
    }
    hotkey_table missing;
    missing.load(juce::File("/nonexistent/hotkey.xml"));
    EXPECT_EQ(missing.size(), 0);
}

TEST(hotkey_labels, pad_and_dialog)
{
    struct
    {
        int code;
        const char* english;
    } pad[] = {
        {0x00630000, "Numpad3"}, {0x00410006, "Ctrl+Shift+A"}, {0x00600000, "`"},       {0x00700000, "p"},
        {0x00310002, "Ctrl+1"},  {0x00510003, "Alt+Ctrl+Q"},   {0x00690000, "Numpad9"}, {0x006A0000, "j"},
    };
    for (auto& c : pad)
        EXPECT_EQ(hotkey::pad_label(c.code, true), c.english) << c.code;
    EXPECT_EQ(hotkey::pad_label(0x00630000, false), cn + "3");

    // The dialog: framework key codes, its own order and spelling.
    const int keypad5 = 0x10065, f1 = 0x10070; // as the framework reports them on Windows
    EXPECT_EQ(hotkey::dialog_label('A', true, true, false), "Ctrl+Shift+A");
    EXPECT_EQ(hotkey::dialog_code('A', true, true, false), 0x00410006);
    EXPECT_EQ(hotkey::dialog_label(keypad5, false, false, false), cn + "5");
    EXPECT_EQ(hotkey::dialog_code(keypad5, false, false, false), 0x00650000);
    EXPECT_EQ(hotkey::dialog_label('Q', true, false, true), "Ctrl+ALt+Q");
    EXPECT_EQ(hotkey::pad_label(hotkey::dialog_code('Q', true, false, true), true), "Alt+Ctrl+Q");
    EXPECT_EQ(hotkey::dialog_code(f1, false, false, false), 0x00700000);
    EXPECT_EQ(hotkey::dialog_label(f1, false, false, false), "p");
}

TEST(hotkey_labels, volume_levels)
{
    for (auto [volume, level] : {std::pair{0, -10000}, {50, -3800}, {1000, 0}, {1, -3996}, {-5, -10000}})
        EXPECT_EQ(hotkey::player_level(volume), level) << volume;
}

TEST_F(sound_folder, grid_geometry_and_names)
{
    struct
    {
        std::vector<const char*> files;
        int height;
    } cases[] = {{{}, 74}, {{"a.mp3", "b.mp3", "c.mp3"}, 128}, {{"a.mp3", "b.mp3", "c.mp3", "d.mp3"}, 128}};
    for (auto& c : cases)
    {
        enum_panel::sound_folder().deleteRecursively();
        enum_panel::sound_folder().createDirectory();
        for (auto* f : c.files)
            add(f);
        enum_panel e;
        EXPECT_EQ(e.pad_count(), (int)c.files.size());
        EXPECT_EQ(e.getHeight(), c.height);
        EXPECT_EQ(e.getWidth(), 345);
    }
    EXPECT_EQ(enum_panel::pad_bounds(4), juce::Rectangle<int>(122, 74, 92, 34));

    add("x.y.mp3");
    add("sub/a.mp3");
    add("noext");
    enum_panel e;
    bind_fake(e);
    juce::StringArray names;
    for (int i = 0; i < e.pad_count(); ++i)
        names.add(e.pad(i).name);
    names.sort(false);
    EXPECT_EQ(names, juce::StringArray({"a", "a", "b", "c", "d", "noext", "x.y"}));
    // A pad from the subfolder plays the sound folder's own file.
    int fromSubfolder = 0;
    for (int i = 0; i < e.pad_count(); ++i)
        if (e.pad(i).name == "a" && e.pad(i).file.getParentDirectory() != enum_panel::sound_folder())
        {
            ++fromSubfolder;
            player_calls().clear();
            e.pad(i).name_button().triggerClick();
            pump_messages();
            ASSERT_EQ(player_calls().size(), 4u);
            EXPECT_EQ(player_calls()[1],
                      "Load " +
                          enum_panel::sound_folder().getChildFile("a.mp3").getFullPathName().toStdString());
        }
    EXPECT_EQ(fromSubfolder, 1);
    e.set_volume(50);
    player_calls().clear();
    e.play_sound("x.y");
    EXPECT_EQ(player_calls(), played("x.y", -3800));
}

TEST_F(sound_folder, hotkeys_play_their_sound)
{
    add("boom.mp3");
    add("clap.mp3");
    // Ctrl+Alt+Q and Alt+Q for clap; a second code (keypad 3) for boom
    save_table({{hotkey::keypad(1), "boom"},
                {0x00510003, "clap"},
                {0x00510001, "clap"},
                {hotkey::keypad(3), "boom"}});
    enum_panel e;
    bind_fake(e);
    // The pad shows the first code met in the table's order; both codes play.
    EXPECT_EQ(pad_named(e, "boom").code, e.table().first_code_of("boom"));
    EXPECT_NE(e.table().first_code_of("boom"), 0);
    e.handle_key(platform::wm_keydown, 0x63, false, false, false);
    EXPECT_EQ(player_calls().size(), 4u);
    e.set_volume(1000);
    player_calls().clear();

    e.handle_key(platform::wm_keydown, 0x61, false, false, false);
    EXPECT_EQ(player_calls(), played("boom", 0));
    // Held down: every repeated key-down restarts it.
    e.handle_key(platform::wm_keydown, 0x61, false, false, false);
    EXPECT_EQ(player_calls().size(), 8u);

    player_calls().clear();
    e.handle_key(platform::wm_keyup, 0x61, false, false, false);     // key-up
    e.handle_key(platform::wm_keydown, 0x23, false, false, false);   // keypad 1 without Num Lock: End
    e.handle_key(platform::wm_syskeydown, 0x51, true, false, false); // Alt+Q: a system key
    e.handle_key(platform::wm_keydown, 0x61, false, false, true);    // Shift+keypad 1: another code
    EXPECT_TRUE(player_calls().empty());
    e.handle_key(platform::wm_keydown, 0x51, true, true, false); // Ctrl+Alt+Q
    EXPECT_EQ(player_calls(), played("clap", 0));

    // Off: hotkeys do nothing, a pad click still plays.
    e.enabled = false;
    player_calls().clear();
    e.handle_key(platform::wm_keydown, 0x61, false, false, false);
    EXPECT_TRUE(player_calls().empty());
    pad_named(e, "boom").name_button().triggerClick();
    pump_messages();
    EXPECT_EQ(player_calls(), played("boom", 0));
}

TEST_F(sound_folder, the_player_keeps_its_output_while_the_board_is_in_use)
{
    add("a.mp3");
    enum_panel e; // no hotkeys, not shown: not in use
    bind_fake(e);
    e.update_table(1, "a", 0x00650000);
    e.keep_output_while_in_use();
    e.keep_output_while_in_use(); // told once, not on every tick
    e.enabled = false;
    e.keep_output_while_in_use();
    juce::Component window;
    window.setBounds(0, 0, 400, 300);
    window.addChildComponent(e);
    e.setVisible(true);
    window.addToDesktop(0);
    window.setVisible(true);
    e.keep_output_while_in_use(); // shown: in use, hotkeys or not
    window.removeChildComponent(&e);
    EXPECT_EQ(player_calls(),
              (std::vector<std::string>{"KeepOutputOpen 1", "KeepOutputOpen 0", "KeepOutputOpen 1"}));
}

TEST_F(sound_folder, pad_labels_menu_and_takeover)
{
    add("a.mp3");
    add("b.mp3");
    save_table({{hotkey::keypad(5), "a"}});
    enum_panel e;
    auto pad = [&](const char* name) -> sound_button& { return pad_named(e, name); };
    EXPECT_EQ(pad("a").shortcut_button().getButtonText(), cn + "5");
    EXPECT_EQ(pad("a").name_button().getHeight(), 17);
    EXPECT_EQ(pad("b").name_button().getHeight(), 34);
    EXPECT_EQ(pad("b").shortcut_button().getHeight(), 0);

    // Keypad 5 for B: the table maps it to B and A loses its label after the refresh.
    pad("b").menu_chosen(6);
    pump_messages();
    EXPECT_EQ(e.table().name_of(0x00650000), "b");
    EXPECT_EQ(e.table().size(), 1);
    EXPECT_EQ(pad("b").code, 0x00650000);
    EXPECT_EQ(pad("b").shortcut_button().getHeight(), 17);
    EXPECT_EQ(pad("a").code, 0);
    EXPECT_EQ(pad("a").shortcut_button().getHeight(), 0);
    EXPECT_TRUE(hotkey_table::default_file().loadFileAsString().contains("key=\"6619136\""));

    // Clear: the code leaves the table and the file.
    pad("b").menu_chosen(1);
    EXPECT_EQ(e.table().size(), 0);
    EXPECT_EQ(pad("b").code, 0);
    EXPECT_FALSE(hotkey_table::default_file().loadFileAsString().contains("key="));
}

TEST(hotkey_dialog, captures_the_last_press)
{
    HotKeyDialog dialog;
    EXPECT_EQ(dialog.getName(), juce::String(juce::CharPointer_UTF8("设置快捷键")));
    EXPECT_EQ(dialog.panel().prompt().getText(), juce::String(juce::CharPointer_UTF8("请按快捷键...")));
    // What the system's key events give (real key presses: the sound board's end-to-end test).
    dialog.take('A', true, true, false);
    EXPECT_EQ(dialog.panel().prompt().getText(), "Ctrl+Shift+A");
    EXPECT_EQ(dialog.captured(), 0x00410006);
    dialog.take(0x10065, false, false, false); // keypad 5
    EXPECT_EQ(dialog.captured(), 0x00650000);
    EXPECT_EQ(dialog.panel().prompt().getText(), cn + "5");
    dialog.take(0x10070, false, false, false); // F1
    EXPECT_EQ(dialog.captured(), 0x00700000);
    dialog.take(0x10065, false, false, false);

    // Confirm ends the modal loop with the code; the close button with 0.
    dialog.setVisible(true);
    juce::Timer::callAfterDelay(50, [&] { dialog.panel().confirm_button().triggerClick(); });
    EXPECT_EQ(dialog.runModalLoop(), 0x00650000);
    EXPECT_EQ(dialog.result(), 0x00650000);
    juce::Timer::callAfterDelay(50, [&] { dialog.closeButtonPressed(); });
    EXPECT_EQ(dialog.runModalLoop(), 0);
}

TEST_F(sound_folder, page_switches_volume_and_import)
{
    platform::write_sset("texiaoVol", "995");
    auto page = std::make_unique<special_voice_panel>();
    pump_messages();
    EXPECT_EQ(page->volume_label().getText(), "99%");
    EXPECT_FALSE(page->engine().enabled); // texiaofast 0 by default
    EXPECT_TRUE(page->off_switch().getToggleState());
    page->volume_slider().setValue(5, juce::sendNotificationSync);
    EXPECT_EQ(page->volume_label().getText(), "0%");
    EXPECT_EQ(platform::read_sset("texiaoVol", -1), 5);

    page->on_switch().triggerClick();
    pump_messages();
    EXPECT_TRUE(page->engine().enabled);
    EXPECT_FALSE(page->off_switch().getToggleState());
    EXPECT_EQ(platform::read_sset("texiaofast", -1), 1);
    page->on_switch().triggerClick(); // turning the lit one off: both off, nothing else
    pump_messages();
    EXPECT_FALSE(page->on_switch().getToggleState());
    EXPECT_FALSE(page->off_switch().getToggleState());
    EXPECT_TRUE(page->engine().enabled);

    juce::TemporaryFile source(".mp3");
    source.getFile().replaceWithText("sound");
    page->import_files({source.getFile()});
    EXPECT_EQ(page->engine().pad_count(), 1);
    EXPECT_TRUE(enum_panel::sound_folder().getChildFile(source.getFile().getFileName()).existsAsFile());
}

TEST_F(sound_folder, deleting_a_sound_keeps_its_hotkey)
{
    add("a.mp3");
    add("b.mp3");
    save_table({{hotkey::keypad(2), "a"}});
    enum_panel e;
    alert_watch box;
    auto delete_a = [&]
    {
        auto& pad = pad_named(e, "a");
        pad.buttonClicked(&pad.delete_button());
        pump_messages();
    };
    box.answer(2); // No
    delete_a();
    EXPECT_EQ(box.seen, juce::String(juce::CharPointer_UTF8("提示. 确认删除此特效声吗?")));
    EXPECT_EQ(e.pad_count(), 2);
    box.answer(1); // Yes
    delete_a();
    EXPECT_FALSE(enum_panel::sound_file("a").existsAsFile());
    EXPECT_EQ(e.pad_count(), 1);
    EXPECT_EQ(e.table().name_of(0x00620000), "a");
}

TEST_F(sound_folder, deleting_a_pad_deletes_the_file_it_was_made_from)
{
    // Each pad is named "a"; the one shown removes exactly its own file, whatever the others are.
    for (const char* kept : {"sub/a.mp3", "a.wav", "deep/er/a"})
    {
        SetUp();
        add("a.mp3");
        add(kept);
        enum_panel e;
        alert_watch box;
        box.answer(1);
        for (int i = 0; i < e.pad_count(); ++i)
            if (e.pad(i).file == enum_panel::sound_folder().getChildFile(kept))
            {
                e.pad(i).buttonClicked(&e.pad(i).delete_button());
                break;
            }
        pump_messages();
        EXPECT_FALSE(enum_panel::sound_folder().getChildFile(kept).exists()) << kept;
        EXPECT_TRUE(enum_panel::sound_file("a").existsAsFile()) << kept;
        EXPECT_EQ(e.pad_count(), 1) << kept;
    }
}

TEST(keyboard_hook, without_an_x_server_it_is_not_installed)
{
    const juce::String display = juce::SystemStats::getEnvironmentVariable("DISPLAY", {});
    setenv("DISPLAY", ":987", 1);
    EXPECT_EQ(platform::set_keyboard_hook([](int, const platform::key_event&) {}), nullptr);
    EXPECT_FALSE(platform::async_key_down(platform::vk_shift));

    // The engine says so once, on standard error, and goes on.
    juce::TemporaryFile err;
    std::fflush(stderr);
    const int saved = dup(2);
    const int file = open(err.getFile().getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, 2);
    {
        enum_panel e;
        EXPECT_FALSE(e.hook_installed());
    }
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(file);
    setenv("DISPLAY", display.toRawUTF8(), 1);
    EXPECT_EQ(err.getFile().loadFileAsString(), "hook fail\n");
}
