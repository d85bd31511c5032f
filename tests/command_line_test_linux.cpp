#include "app/remote_control.h"
#include "tests/command_channel_fixture.h"
#include "tests/main_page_fixture.h"
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
juce::String socket_in(const juce::File& dir)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir.getFullPathName().toStdString()))
        if (entry.path().extension() == ".sock") return entry.path().string();
    return {};
}
} // namespace

TEST_F(command_channel_test, only_this_user_reaches_the_socket)
{
    auto server = listen();
    // The socket is 0600, in a folder of this user's.
    struct stat st;
    ASSERT_EQ(stat(socket_in(folder.getFile()).toRawUTF8(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
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

namespace
{
// Commands run against a main page, as the running copy runs them.
struct panel_commands : main_page
{
    void SetUp() override
    {
        main_page::SetUp();
        open();
    }
    void connect(const char* model)
    {
        main_page::connect(
            model, {0, 8, 8, 6, 6, 6, 6, 0, 6, 0x5a, 0, 1, 0, 1, 0, 1, 1, 3, 7, 5, 0, 0, 190, 0xa5, 1, 1, 1});
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
