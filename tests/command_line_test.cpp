#include "app/battery_notice.h"
#include "app/command_channel.h"
#include "app/remote_control.h"
#include "device/connected_model.h"
#include "pages/left_panel.h"
#include "platform/program_settings.h"
#include "tests/fake_devbridge.h"
#include <atomic>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

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

namespace
{
// A private runtime folder, so the channel is this test's own.
struct command_channel_test : testing::Test
{
    juce::TemporaryFile folder;
    juce::String oldRuntime;
    const juce::String app = "channel-test-" + juce::String(getpid());
    std::vector<juce::StringArray> received;

    void SetUp() override
    {
        folder.getFile().createDirectory();
        chmod(folder.getFile().getFullPathName().toRawUTF8(), 0700);
        if (auto* old = std::getenv("XDG_RUNTIME_DIR")) oldRuntime = old;
        setenv("XDG_RUNTIME_DIR", folder.getFile().getFullPathName().toRawUTF8(), 1);
    }
    void TearDown() override
    {
        if (oldRuntime.isEmpty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", oldRuntime.toRawUTF8(), 1);
        folder.getFile().deleteRecursively();
    }

    std::unique_ptr<platform::single_instance> listen()
    {
        return std::make_unique<platform::single_instance>(
            app,
            [this](platform::local_connection& c)
            {
                command_channel::serve(
                    c,
                    [this](const juce::StringArray& args)
                    {
                        received.push_back(args);
                        return command_channel::answer{0, "got " + args.joinIntoString(",")};
                    });
            });
    }

    // Sends BYTES as one client on another thread while this (message) thread serves.
    command_channel::answer exchange(const std::string& bytes)
    {
        command_channel::answer reply{-1, {}};
        std::atomic<bool> finished{false};
        std::thread client(
            [&]
            {
                if (auto c = platform::connect_to_running_copy(app, 0))
                {
                    c->write(bytes.data(), (int)bytes.size());
                    if (!command_channel::read_answer(*c, reply, 5000)) reply = {-2, {}};
                }
                finished = true;
            });
        for (int i = 0; i < 600 && !finished; ++i)
            pump_messages(10);
        client.join();
        return reply;
    }
};

juce::String socket_in(const juce::File& dir)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir.getFullPathName().toStdString()))
        if (entry.path().extension() == ".sock") return entry.path().string();
    return {};
}
} // namespace

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

    // Only this user: the socket is 0600 in a folder of this user's.
    struct stat st;
    ASSERT_EQ(stat(socket_in(folder.getFile()).toRawUTF8(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
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
    auto silent = platform::connect_to_running_copy(app, 0);
    ASSERT_NE(silent, nullptr);
    const auto start = juce::Time::getMillisecondCounter();
    const auto reply = exchange(command_channel::encode_request({"--status"}));
    EXPECT_EQ(reply.text, "got --status");
    EXPECT_LT(juce::Time::getMillisecondCounter() - start, (juce::uint32)command_channel::request_timeout_ms);
    // The silent one is dropped with a refusal once its time is up.
    command_channel::answer dropped;
    EXPECT_TRUE(command_channel::read_answer(*silent, dropped, 5000));
    EXPECT_EQ(dropped.status, 2);
}

TEST_F(command_channel_test, another_user_is_turned_away)
{
    if (getuid() != 0) GTEST_SKIP() << "needs root to connect as another user";
    auto server = listen();
    const auto path = socket_in(folder.getFile());
    // Open the way to the socket, as a careless folder would: the peer check still holds.
    chmod(folder.getFile().getFullPathName().toRawUTF8(), 0711);
    chmod(path.toRawUTF8(), 0666);
    std::atomic<bool> finished{false}, connected{false};
    std::atomic<int> got{-1};
    std::thread other(
        [&]
        {
            // Another user (nobody), on this thread only.
            const int s = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::strcpy(addr.sun_path, path.toRawUTF8());
            if (syscall(SYS_setresuid, 65534, 65534, 0) == 0 &&
                connect(s, (sockaddr*)&addr, sizeof(addr)) == 0)
            {
                connected = true;
                const auto request = command_channel::encode_request({"--status"});
                (void)!send(s, request.data(), request.size(), MSG_NOSIGNAL);
                char byte;
                got = (int)recv(s, &byte, 1, 0);
            }
            close(s);
            finished = true;
        });
    for (int i = 0; i < 300 && !finished; ++i)
        pump_messages(10);
    other.join();
    EXPECT_TRUE(connected);
    EXPECT_LE(got, 0) << "another user was answered";
    EXPECT_TRUE(received.empty());
}

TEST_F(command_channel_test, ends_while_a_request_waits_for_the_message_thread)
{
    auto server = listen();
    std::thread client(
        [this]
        {
            if (auto c = platform::connect_to_running_copy(app, 0))
            {
                const auto request = command_channel::encode_request({"--status"});
                c->write(request.data(), (int)request.size());
                command_channel::answer reply;
                command_channel::read_answer(*c, reply, 3000);
            }
        });
    juce::Thread::sleep(300); // the request is read and waits for this thread, which does not pump
    const auto start = juce::Time::getMillisecondCounter();
    server.reset();
    EXPECT_LT(juce::Time::getMillisecondCounter() - start, 2000u);
    client.join();
    pump_messages(); // the late work finds nobody
}

namespace
{
// Commands run against a main page on a connected device, as the running copy runs them.
struct panel_commands : testing::Test
{
    fake_devbridge& fake = (fake_devbridge::reset(), fake_devbridge::instance());
    std::unique_ptr<left_panel> page;

    void SetUp() override
    {
        platform::settings_file().getParentDirectory().createDirectory();
        platform::settings_file().deleteFile();
        set_connected_model("KQ");
        page = std::make_unique<left_panel>(fake.api());
    }
    void TearDown() override { page.reset(); }

    void connect(const char* model)
    {
        std::memset(fake.info.data(), 0, 250);
        std::memcpy(fake.info.data() + 50, model, std::strlen(model));
        fake.device = {0, 8, 8, 6, 6, 6, 6, 0, 6,   0x5a, 0, 1, 0, 1,
                       0, 1, 1, 3, 7, 5, 0, 0, 190, 0xa5, 1, 1, 1};
        for (int code : {7, 2, 3})
            fake.callback(code);
        pump_messages();
        fake.sent.clear();
    }
    command_channel::answer run(const juce::StringArray& args)
    {
        auto a = run_panel_command(panel_command::parse(args), page.get());
        pump_messages();
        return a;
    }
};
} // namespace

TEST_F(panel_commands, go_through_the_clicks_code)
{
    EXPECT_EQ(run({"--mode", "3"}).status, exit_status::no_device);
    EXPECT_EQ(run({"--status"}).text, "not connected");
    EXPECT_TRUE(fake.sent.empty());
    connect("KQ3");

    // Several fields: one record, and the changed ones are named.
    const auto set = run({"--set", "volume3=2", "eqPreset=7", "volume1=6"});
    EXPECT_EQ(set.text, "volume3=2\neqPreset=7");
    ASSERT_EQ(fake.sent.size(), 1u);
    EXPECT_EQ(fake.sent[0][6], 2);
    EXPECT_EQ(fake.sent[0][21], 7);
    EXPECT_EQ(page->volume_slider(2).getValue(), 2);
    EXPECT_EQ(page->volume_label(2).getText(), "25%");

    // A volume set is a slider move: a mute toggled twice comes back to it.
    run({"--set", "volume1=5"});
    run({"--mute", "1", "toggle"});
    EXPECT_EQ(fake.sent.back()[3], 0);
    EXPECT_TRUE(page->muted(1));
    EXPECT_EQ(run({"--status"}).text,
              "KQ3 connected, mode 0 Preset, volume1 0 muted, volume2 6, volume3 2, volume4 6");
    run({"--mute", "1", "toggle"});
    EXPECT_EQ(fake.sent.back()[3], 5);
    EXPECT_FALSE(page->muted(1));
    const auto sends = fake.sent.size();
    run({"--mute", "1", "off"}); // already off: nothing
    EXPECT_EQ(fake.sent.size(), sends);

    run({"--mode", "4"});
    EXPECT_EQ(fake.sent.back()[0], 4);
    EXPECT_TRUE(page->device_link().mode_button(4).getToggleState());
    run({"--mode", "4"}); // the current mode: nothing, as a click
    EXPECT_EQ(fake.sent.size(), sends + 1);

    // What a hostile request carries is checked again here.
    EXPECT_EQ(run({"--set", "linkState=0"}).status, exit_status::bad_request);
    EXPECT_EQ(run({"--play", "../../etc/passwd"}).status, exit_status::bad_request);
    EXPECT_EQ(run({"--preset", "1"}).status, exit_status::bad_request); // an empty library
    EXPECT_EQ(fake.sent.size(), sends + 1);
}

TEST_F(panel_commands, status_of_a_wireless_unit)
{
    connect("LN7");
    EXPECT_EQ(run({"--status"}).text,
              "LN7 connected, battery 5/6, mode 0 Preset, volume1 6, volume2 6, volume3 6, volume4 6");
    const auto json = juce::JSON::parse(run({"--status", "--json"}).text);
    EXPECT_EQ(json["connected"], juce::var(true));
    EXPECT_EQ(json["model"], juce::var("LN7"));
    EXPECT_EQ(json["battery"], juce::var(5));
    EXPECT_EQ(json["volume3"], juce::var(6));
    EXPECT_EQ(json["reserved23"], juce::var(0xa5));
    EXPECT_EQ(json.getDynamicObject()->getProperties().size(), 3 + 27);
    EXPECT_EQ(run({"--preset", "1"}).status, exit_status::no_device); // no library on wireless units
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
