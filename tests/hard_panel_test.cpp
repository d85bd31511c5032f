#include "device/connected_model.h"
#include "device/device_info.h"
#include "device/hard_panel.h"
#include "pages/left_panel.h"
#include "tests/fake_devbridge.h"
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace
{
// Stands in for the main window at the top of the component tree.
struct window_stub : juce::Component
{
    std::vector<int> commands;
    void handleCommandMessage(int id) override { commands.push_back(id); }
};

struct device_link : testing::Test
{
    fake_devbridge& fake = (fake_devbridge::reset(), fake_devbridge::instance());
    recording_listener parent;
    window_stub window;
    std::unique_ptr<hard_panel> panel;
    int localePrompts = 0, audioCloses = 0;

    void SetUp() override
    {
        device_hooks().after_device_info = [this] { ++localePrompts; };
        device_hooks().close_audio_device = [this] { ++audioCloses; };
        set_connected_model("KQ");
    }
    void TearDown() override
    {
        panel.reset();
        device_hooks() = {};
    }
    void make(const devbridge_api& api)
    {
        panel = std::make_unique<hard_panel>(parent, api);
        window.addAndMakeVisible(*panel);
    }
    // Delivers an event the way the library does: through the callback and the message loop.
    juce::StringArray fire(int code)
    {
        parent.calls.clear();
        fake.callback(code);
        pump_messages();
        return parent.calls;
    }
    void set_model(const char* model, size_t length) { std::memcpy(fake.info.data() + 50, model, length); }
};

juce::StringArray calls(std::initializer_list<const char*> list)
{
    juce::StringArray a;
    for (auto* s : list)
        a.add(s);
    return a;
}
} // namespace

TEST_F(device_link, connection_sequence_wired)
{
    make(fake.api());
    ASSERT_EQ(fake.initCalls, 1);
    EXPECT_EQ(panel->connection_state(), hard_panel::not_connected);

    EXPECT_EQ(fire(7), calls({"connecting"}));
    EXPECT_EQ(panel->connection_state(), hard_panel::connecting);
    EXPECT_EQ(fire(7), calls({})); // already connecting

    fake.device[0] = 2;
    fake.device[9] = 0x5a;
    EXPECT_EQ(fire(3), calls({"connected", "hard_have_new_para:"})); // direct call first, post after
    EXPECT_EQ(panel->connection_state(), hard_panel::connected);
    EXPECT_EQ(panel->record().mode, 2);
    EXPECT_EQ(panel->record().reserved9, 0x5a);
    EXPECT_EQ(fire(3), calls({"hard_have_new_para:"}));
    EXPECT_EQ(fire(7), calls({}));
    EXPECT_EQ(fire(99), calls({}));
}

TEST_F(device_link, device_information_sets_the_model_and_runs_the_locale_prompt)
{
    make(fake.api());
    set_model("KQ3X", 5);
    std::memcpy(fake.info.data(), "RX40", 4);
    EXPECT_EQ(fire(2), calls({"connected"}));
    EXPECT_EQ(panel->connection_state(), hard_panel::connected);
    EXPECT_EQ(connected_model(), "KQ3X");
    EXPECT_EQ(std::memcmp(panel->device_info(), "RX40", 4), 0);
    EXPECT_EQ(localePrompts, 1);

    // A model field with no terminating zero is cut at 50 bytes.
    std::memset(fake.info.data() + 50, 'M', 200);
    fire(2);
    EXPECT_EQ(connected_model(), juce::String::repeatedString("M", 50));
    EXPECT_EQ(localePrompts, 2);

    // 50 bytes, not 50 characters: sixteen three-byte characters and the first two bytes of a
    // seventeenth fill the field, and the firmware field after it stays out of the name.
    const juce::String ce(juce::CharPointer_UTF8("\xe6\xb5\x8b"));
    std::string field;
    for (int i = 0; i < 17; ++i)
        field += "\xe6\xb5\x8b";
    std::memcpy(fake.info.data() + 50, field.data(), 50);
    std::memcpy(fake.info.data() + 100, "FW1.0", 6);
    fire(2);
    EXPECT_EQ(connected_model(), juce::String::repeatedString(ce, 16) + juce::String::charToString(0xFFFD));
    EXPECT_EQ(device_info_text(panel->device_info(), device_info_field::firmware), "FW1.0");
}

TEST_F(device_link, events_during_a_prompt_wait_until_it_closes)
{
    make(fake.api());
    int open = 0, mostOpen = 0;
    std::vector<int> statesAtPrompt;
    device_hooks().after_device_info = [&]
    {
        ++localePrompts;
        mostOpen = std::max(mostOpen, ++open);
        statesAtPrompt.push_back(panel->connection_state());
        if (localePrompts == 1)
        {
            // Unplugged and plugged in again while the first prompt is open.
            fake.callback(1);
            fake.callback(7);
            fake.callback(2);
        }
        // The prompt's modal loop delivers messages as the real one does.
        juce::MessageManager::getInstance()->runDispatchLoopUntil(200);
        --open;
    };
    fire(2);
    EXPECT_EQ(mostOpen, 1);
    EXPECT_EQ(localePrompts, 2);
    EXPECT_EQ(statesAtPrompt, (std::vector<int>{hard_panel::connected, hard_panel::connected}));
    EXPECT_EQ(parent.calls, calls({"connected", "lost", "connecting", "connected"}));
    EXPECT_EQ(panel->connection_state(), hard_panel::connected);
}

TEST_F(device_link, wireless_link_and_battery)
{
    make(fake.api());
    fire(2);
    std::memcpy(fake.linkedInfo.data(), "LN7-TX", 6);
    EXPECT_EQ(fire(15), calls({"hard_have_new_connect:"}));
    EXPECT_EQ(std::memcmp(panel->linked_device_info(), "LN7-TX", 6), 0);

    fake.device[26] = 0; // link down: back to connecting
    EXPECT_EQ(fire(16), calls({"hard_have_new_connect:"}));
    EXPECT_EQ(panel->connection_state(), hard_panel::connecting);
    fake.device[26] = 1;
    EXPECT_EQ(fire(3), calls({"connected", "hard_have_new_para:"}));
    EXPECT_EQ(fire(16), calls({"hard_have_new_connect:"}));
    EXPECT_EQ(panel->connection_state(), hard_panel::connected);

    for (auto [byte, level] : {std::pair{201, "6"}, {200, "5"}, {160, "1"}})
    {
        fake.device[22] = (uint8_t)byte;
        EXPECT_EQ(fire(4), calls({(juce::String("hard_have_battery_para:") + level).toRawUTF8()}));
    }
}

TEST_F(device_link, update_information_and_device_loss)
{
    make(fake.api());
    fire(2);
    fake.device[0] = 5;
    EXPECT_EQ(fire(5), calls({}));
    EXPECT_EQ(fire(6), calls({})); // read, but nothing posted to the page
    EXPECT_EQ(panel->record().mode, 5);
    EXPECT_EQ(window.commands, std::vector<int>{1}); // width toggle shown

    set_connected_model("LN7");
    EXPECT_EQ(fire(1), calls({"lost"}));
    EXPECT_EQ(panel->connection_state(), hard_panel::not_connected);
    EXPECT_EQ(connected_model(), "KQ");
    EXPECT_EQ(window.commands, (std::vector<int>{1, 0}));
    EXPECT_EQ(audioCloses, 1);
    EXPECT_EQ(panel->record(), ui_para{}); // all zero
    for (int i = 0; i < hard_panel::info_size; ++i)
        ASSERT_EQ(panel->device_info()[i], 0);
    EXPECT_TRUE(fake.sent.empty()); // events never send
}

TEST_F(device_link, missing_entry_points_skip_their_rows)
{
    make(fake.api_with("initHIDCtrl")); // only the callback registration
    EXPECT_EQ(fire(7), calls({"connecting"}));
    EXPECT_EQ(fire(3), calls({}));
    EXPECT_EQ(fire(4), calls({}));
    EXPECT_EQ(fire(15), calls({}));
    EXPECT_EQ(fire(16), calls({}));
    EXPECT_EQ(fire(6), calls({}));
    EXPECT_TRUE(window.commands.empty());
    EXPECT_EQ(fire(2), calls({"connected"})); // runs whether or not getDeviceInfo is bound
    EXPECT_EQ(connected_model(), "KQ");

    // Mode buttons still work locally; nothing to send with.
    panel->mode_button(3).triggerClick();
    pump_messages();
    EXPECT_EQ(panel->record().mode, 3);
}

TEST_F(device_link, no_library_runs_as_if_disconnected)
{
    make(devbridge_api{});
    EXPECT_EQ(fake.initCalls, 0);
    for (int code : {3, 4, 6, 15, 16})
        panel->handle_event(code); // nothing to read with
    pump_messages();
    EXPECT_TRUE(parent.calls.isEmpty());
    EXPECT_EQ(panel->connection_state(), hard_panel::not_connected);
    EXPECT_EQ(panel->record(), ui_para::initial());

    panel->mode_button(2).triggerClick(); // still changes the record locally
    pump_messages();
    EXPECT_EQ(panel->record().mode, 2);
    EXPECT_TRUE(fake.sent.empty());
}

TEST_F(device_link, event_code_is_the_signed_low_byte)
{
    make(fake.api());
    EXPECT_EQ(fire(0x1207), calls({"connecting"}));
    parent.calls.clear();
    fake.callback(0x1ff); // -1: ignored
    pump_messages();
    EXPECT_TRUE(parent.calls.isEmpty());
}

TEST_F(device_link, timeout_alert_is_shown)
{
    make(fake.api());
    juce::String shownText;
    juce::Timer::callAfterDelay(
        100,
        [&]
        {
            if (auto* alert = dynamic_cast<juce::AlertWindow*>(juce::Component::getCurrentlyModalComponent()))
            {
                shownText = alert->getName();
                alert->exitModalState(0);
            }
        });
    panel->handle_event(10);
    EXPECT_EQ(shownText, juce::String(juce::CharPointer_UTF8("提示")));
}

TEST_F(device_link, mode_buttons)
{
    make(fake.api());
    fake.device = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                   15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    fake.device[0] = 0;
    fire(3);
    panel->show_mode();
    EXPECT_TRUE(panel->mode_button(0).getToggleState());

    panel->mode_button(4).triggerClick();
    pump_messages();
    ASSERT_EQ(fake.sent.size(), 1u);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(fake.sent[0][(size_t)i], i == 0 ? 4 : fake.device[(size_t)i]) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(panel->mode_button(i).getToggleState(), i == 4);

    // The button that is on: nothing sent, every button off until the next refresh.
    panel->mode_button(4).triggerClick();
    pump_messages();
    EXPECT_EQ(fake.sent.size(), 1u);
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(panel->mode_button(i).getToggleState());
    panel->show_mode();
    EXPECT_TRUE(panel->mode_button(4).getToggleState());

    // A mode above 5 from the device shows every button off.
    fake.device[0] = 9;
    fire(3);
    panel->show_mode();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(panel->mode_button(i).getToggleState());
}

TEST(device_link_lifetime, events_before_construction_ends_are_kept_and_after_destruction_dropped)
{
    fake_devbridge::reset();
    auto& fake = fake_devbridge::instance();
    recording_listener parent;
    // A library that reports at once, from inside initHIDCtrl.
    devbridge_api api = fake.api();
    api.initHIDCtrl = [](hid_event_callback cb)
    {
        fake_devbridge::instance().callback = cb;
        cb(7);
        return 0;
    };
    auto panel = std::make_unique<hard_panel>(parent, api);
    pump_messages();
    EXPECT_EQ(parent.calls, calls({"connecting"}));

    fake.callback(3); // posted, then the panel goes before delivery
    panel.reset();
    fake.callback(2);
    parent.calls.clear();
    pump_messages();
    EXPECT_TRUE(parent.calls.isEmpty());
}

TEST(device_link_lifetime, callback_from_another_thread_while_panels_come_and_go)
{
    fake_devbridge::reset();
    auto& fake = fake_devbridge::instance();
    recording_listener parent;
    std::atomic<bool> stop{false};
    std::thread device(
        [&]
        {
            while (!stop)
            {
                hard_panel::event_callback(7); // each new panel starts not connected, so each reports it
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            }
        });
    for (int i = 0; i < 200; ++i)
    {
        auto panel = std::make_unique<hard_panel>(parent, fake.api());
        pump_messages(1);
    }
    stop = true;
    device.join();
    EXPECT_FALSE(parent.calls.isEmpty()); // events did reach live panels while they came and went

    // With every panel gone, nothing is delivered (the sanitizer build also catches any post to
    // a destroyed panel).
    parent.calls.clear();
    for (int i = 0; i < 10; ++i)
        hard_panel::event_callback(7);
    pump_messages();
    EXPECT_TRUE(parent.calls.isEmpty());
}

TEST(device_link_lifetime, shutdown_sends_soft_then_hard_mode)
{
    fake_devbridge::reset();
    auto& fake = fake_devbridge::instance();
    fake.device.fill(0x33);
    fake.device[11] = 1;
    {
        left_panel page(fake.api());
        EXPECT_EQ(the_hard_panel(), &page.device_link());
        fake.callback(3);
        pump_messages();
        EXPECT_TRUE(fake.sent.empty());
    }
    EXPECT_EQ(the_hard_panel(), nullptr);
    ASSERT_EQ(fake.sent.size(), 2u);
    EXPECT_EQ(fake.sent[0][11], 0);
    EXPECT_EQ(fake.sent[1][11], 1);
    for (int i = 0; i < 27; ++i)
    {
        if (i != 11)
        {
            EXPECT_EQ(fake.sent[1][(size_t)i], 0x33) << i;
        }
    }

    // With the device link gone, page changes do nothing.
    EXPECT_FALSE(change_ui_para([](ui_para& p) { p.mode = 1; }));
    EXPECT_EQ(fake.sent.size(), 2u);
}
