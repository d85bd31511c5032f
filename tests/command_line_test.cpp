#include "app/battery_notice.h"
#include "app/panel_command.h"
#include "tests/command_channel_fixture.h"

TEST(panel_command, reads_what_a_start_is_given)
{
    struct row
    {
        const char* args; // separated by |
        panel_command::kind kind;
        const char* error; // part of the message for invalid ones
    };
    const row rows[] = {
        {"", panel_command::show, ""},
        {"--status", panel_command::status, ""},
        {"--status|--json", panel_command::status, ""},
        {"--status|--xml", panel_command::invalid, "usage"},
        {"--set|volume1=5|eqPreset=10", panel_command::set, ""},
        {"--set", panel_command::invalid, "usage"},
        {"--set|volume1=9", panel_command::invalid, "0-8"},
        {"--set|denoiseLevel=7", panel_command::invalid, "0,6,14"},
        {"--set|volume1=-1", panel_command::invalid, "0-8"},
        {"--set|volume1=99999999999", panel_command::invalid, "0-8"},
        {"--set|volume1=", panel_command::invalid, "0-8"},
        {"--set|volume1", panel_command::invalid, "unknown field"},
        {"--set|Volume1=1", panel_command::invalid, "unknown field"},
        {"--set|batteryVoltage=1", panel_command::invalid, "device's own"},
        {"--set|linkState=0", panel_command::invalid, "device's own"},
        {"--set|reserved9=0", panel_command::invalid, "device's own"},
        {"--mode|3", panel_command::mode, ""},
        {"--mode|6", panel_command::invalid, "0-5"},
        {"--mode|3|4", panel_command::invalid, "usage"},
        {"--mute|4|toggle", panel_command::mute, ""},
        {"--mute|0|on", panel_command::invalid, "1-4"},
        {"--mute|1|maybe", panel_command::invalid, "toggle"},
        {"--preset|2", panel_command::preset, ""},
        {"--preset|0", panel_command::invalid, "from 1"},
        {"--preset|Hall 2", panel_command::preset, ""},
        {"--play|ding", panel_command::play, ""},
        {"--stop-sounds", panel_command::stop_sounds, ""},
        {"--help", panel_command::help, ""},
        {"--version", panel_command::version, ""},
        {"status", panel_command::invalid, "unknown command"},
    };
    for (const auto& r : rows)
    {
        const auto args = juce::StringArray::fromTokens(r.args, "|", "");
        const auto c = panel_command::parse(args);
        EXPECT_EQ(c.what, r.kind) << r.args;
        EXPECT_TRUE(c.error.contains(r.error)) << r.args << ": " << c.error;
    }
    const auto set = panel_command::parse({"--set", "volume3=2", "mode=5"});
    EXPECT_EQ(set.sets, (std::vector<std::pair<int, int>>{{6, 2}, {0, 5}})); // volume3 is byte 6
    EXPECT_EQ(panel_command::parse({"--preset", "Hall 2"}).text, "Hall 2");
    EXPECT_EQ(panel_command::parse({"--preset", "12"}).number, 12);
}

TEST_F(command_channel_test, carries_arguments_and_answers)
{
    EXPECT_EQ(platform::connect_to_running_copy(app, 0), nullptr);
    auto server = listen();
    ASSERT_FALSE(server->another_copy_runs());
    EXPECT_TRUE(platform::single_instance(app, nullptr).another_copy_runs());

    const juce::StringArray args{"--preset", juce::CharPointer_UTF8("混响 Hall"), ""};
    const auto reply = exchange(command_channel::encode_request(args));
    EXPECT_EQ(reply.status, 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], args);
}

TEST_F(command_channel_test, refuses_what_a_hostile_client_sends)
{
    auto server = listen();
    auto with_length = [](uint32_t n, const std::string& payload)
    {
        std::string s{(char)(n & 0xff), (char)((n >> 8) & 0xff), (char)((n >> 16) & 0xff), (char)(n >> 24)};
        return s + payload;
    };
    struct row
    {
        std::string bytes;
        const char* says;
    };
    const row rows[] = {
        {with_length(4097, std::string(4097, 'a')), "larger than 4096"},
        {with_length(0xffffffffu, ""), "larger than 4096"},
        {with_length(6, std::string("--st\xff\0", 6)), "not valid UTF-8"},
        {with_length(6, std::string("\xc3\0--a\0", 6)), "not valid UTF-8"},
        {with_length(10, std::string("--play\0\xff\xfe\0", 10)), "not valid UTF-8"},     // once taken
        {with_length(11, std::string("--play\0\xed\xa0\x80\0", 11)), "not valid UTF-8"}, // a surrogate
        {with_length(10, "abc"), "cut short"},             // and then silent: the time-out ends it
        {with_length(3, std::string("abc")), "cut short"}, // not NUL-ended
    };
    for (const auto& r : rows)
    {
        const auto reply = exchange(r.bytes);
        EXPECT_EQ(reply.status, 2) << r.says;
        EXPECT_TRUE(reply.text.contains(r.says)) << reply.text;
    }
    EXPECT_TRUE(received.empty());
    // A request of exactly the limit is taken.
    std::string full;
    for (int i = 0; i < 4096 / 4; ++i)
        full += std::string("abc", 3) + '\0';
    EXPECT_EQ(exchange(with_length(4096, full)).status, 0);
}

TEST_F(command_channel_test, a_silent_client_holds_up_nobody)
{
    auto server = listen();
    auto silent = platform::connect_to_running_copy(app, 1000);
    ASSERT_NE(silent, nullptr);
    const auto reply = exchange(command_channel::encode_request({"--status"}));
    EXPECT_EQ(reply.text, "got --status");
    // The next one was answered while the silent one was still being waited for.
    command_channel::answer dropped;
    EXPECT_FALSE(command_channel::read_answer(*silent, dropped, 50)); // nothing there yet
    // Then the silent one is dropped with a refusal once its time is up.
    EXPECT_TRUE(command_channel::read_answer(*silent, dropped, 5000));
    EXPECT_EQ(dropped.status, 2);
}

TEST_F(command_channel_test, ends_while_a_request_waits_for_the_message_thread)
{
    auto server = listen();
    int ended = -2; // what the caller's read came to: 0 the channel closed, -1 it waited in vain
    std::thread client(
        [&]
        {
            if (auto c = platform::connect_to_running_copy(app, 1000))
            {
                const auto request = command_channel::encode_request({"--status"});
                c->write(request.data(), (int)request.size());
                char byte;
                ended = c->read(&byte, 1, 10000);
            }
        });
    juce::Thread::sleep(300); // the request is read and waits for this thread, which does not pump
    // A server stuck waiting would be killed at its threads' time-out and never close the channel.
    server.reset();
    client.join();
    EXPECT_EQ(ended, 0);
    serve_messages(30); // the late work finds nobody
}

TEST(battery_notice, tooltip_and_one_low_warning)
{
    battery_notice notice;
    struct step
    {
        int level;
        const char* tooltip;
        bool warn;
    };
    const step steps[] = {
        {0, "Tavri控制面板", false},
        {3, "Tavri控制面板 - 电量 3/6", false},
        {1, "Tavri控制面板 - 电量 1/6", true},
        {1, "Tavri控制面板 - 电量 1/6", false},
        {0, "Tavri控制面板", false},
        {1, "Tavri控制面板 - 电量 1/6", false}, // not until above 1
        {2, "Tavri控制面板 - 电量 2/6", false},
        {1, "Tavri控制面板 - 电量 1/6", true},
    };
    for (const auto& s : steps)
    {
        const auto shown = notice.update(s.level, false);
        EXPECT_EQ(shown.tooltip, juce::String(juce::CharPointer_UTF8(s.tooltip)));
        EXPECT_EQ(shown.warn, s.warn) << s.level;
    }
    EXPECT_EQ(battery_notice::tooltip_for(4, true), "Tavri Control Panel - battery 4/6");
    EXPECT_EQ(battery_notice::low_text(true), "Battery low, please charge");
}
