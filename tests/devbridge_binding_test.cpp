#include "device/devbridge_api.h"
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace
{
const juce::File dist(RX40_DIST_DIR);

int count_bound(const devbridge_api& a)
{
    const void* p[] = {(void*)a.initHIDCtrl,      (void*)a.SendUIPara,           (void*)a.getUIPara,
                       (void*)a.getDeviceInfo,    (void*)a.getConDeviceInfo,     (void*)a.getUpdateInfo,
                       (void*)a.SendUIParaP12MIC, (void*)a.SendUIParaP12Setting, (void*)a.SetEnv};
    int n = 0;
    for (auto* x : p)
        n += x != nullptr;
    return n;
}

std::mutex eventsLock;
std::vector<int> events;
void on_event(int code)
{
    std::lock_guard<std::mutex> l(eventsLock);
    events.push_back(code);
}

bool wait_for_events(size_t count, int timeoutMs = 3000)
{
    for (int waited = 0; waited < timeoutMs; waited += 20)
    {
        {
            std::lock_guard<std::mutex> l(eventsLock);
            if (events.size() >= count) return true;
        }
        juce::Thread::sleep(20);
    }
    return false;
}

struct cli_result
{
    int status;
    juce::String output;
};

cli_result devsim(const juce::StringArray& args)
{
    juce::ChildProcess p;
    juce::StringArray command{dist.getChildFile("rx40-devsim").getFullPathName()};
    command.addArray(args);
    if (!p.start(command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr)) return {-1, {}};
    auto out = p.readAllProcessOutput();
    p.waitForProcessToFinish(5000);
    return {(int)p.getExitCode(), out};
}
} // namespace

TEST(devbridge_binding, missing_library_and_missing_entry_points)
{
    EXPECT_EQ(count_bound(devbridge_api::bind(juce::File("/nonexistent/devbridge.so"))), 0);

    auto partial = devbridge_api::bind(juce::File(RX40_TESTLIBS_DIR).getChildFile("devbridge_partial.so"));
    EXPECT_EQ(count_bound(partial), 2);
    EXPECT_NE(partial.getUIPara, nullptr);
    EXPECT_NE(partial.SetEnv, nullptr);
    EXPECT_EQ(partial.initHIDCtrl, nullptr);
    EXPECT_EQ(partial.SendUIPara, nullptr);
}

// The virtual device, driven as the panel and rx40-devsim drive it.
TEST(virtual_device, connects_reports_and_obeys_the_control_program)
{
    auto folder =
        juce::File::getSpecialLocation(juce::File::tempDirectory).getNonexistentChildFile("devsim", "");
    folder.createDirectory();
    const auto logFile = folder.getChildFile("calls.log");
    setenv("RX40_DEVSIM_SOCKET", folder.getChildFile("s.sock").getFullPathName().toRawUTF8(), 1);
    setenv("RX40_DEVSIM_LOG", logFile.getFullPathName().toRawUTF8(), 1);
    setenv("RX40_DEVSIM_MODEL", "LN7", 1);

    auto api = devbridge_api::bind(dist.getChildFile("devbridge.so"));
    ASSERT_EQ(count_bound(api), 9);
    api.initHIDCtrl(on_event);
    ASSERT_TRUE(wait_for_events(6));
    {
        std::lock_guard<std::mutex> l(eventsLock);
        EXPECT_EQ(std::vector<int>(events.begin(), events.begin() + 6),
                  (std::vector<int>{7, 2, 3, 15, 16, 4}));
        events.clear();
    }
    unsigned char info[250] = {};
    api.getDeviceInfo(info);
    EXPECT_STREQ((const char*)info + 50, "LN7");
    api.getConDeviceInfo(info);
    EXPECT_STREQ((const char*)info + 50, "LN7-TX");

    unsigned char record[27];
    api.getUIPara(record);
    EXPECT_NE(record[26], 0); // link up

    // Device-side change, then the panel's own send: bytes 22-26 stay the device's.
    ASSERT_EQ(devsim({"set", "mode=2", "b22=161", "linkState=1"}).status, 0);
    ASSERT_TRUE(wait_for_events(1));
    api.getUIPara(record);
    EXPECT_EQ(record[0], 2);
    EXPECT_EQ(record[22], 161);
    unsigned char mine[27];
    std::fill(std::begin(mine), std::end(mine), 0xee);
    api.SendUIPara(mine);
    api.SetEnv(3, 0);
    auto shown = devsim({"record"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.output, juce::String::repeatedString("ee", 22) + "a1a5010101\n");

    auto log = devsim({"log", "--clear"});
    EXPECT_EQ(log.output, "SendUIPara " + juce::String::repeatedString("ee", 27) + "\nSetEnv 3 0\n");
    EXPECT_EQ(devsim({"log"}).output, "");
    EXPECT_EQ(logFile.loadFileAsString(), log.output); // the file keeps what the clear dropped

    EXPECT_EQ(devsim({"battery", "150"}).status, 0);
    EXPECT_EQ(devsim({"info", "--linked", "serial=X1"}).status, 0);
    api.getConDeviceInfo(info);
    EXPECT_STREQ((const char*)info + 200, "X1");

    struct
    {
        juce::StringArray args;
        const char* message;
    } bad[] = {
        {{"set", "nosuch=1"}, "unknown field"},    {{"set", "mode=256"}, "0-255"},
        {{"set", "b27=1"}, "unknown field"},       {{"event", "x"}, "usage: event"},
        {{"info", "colour=red"}, "unknown field"}, {{"frobnicate"}, "unknown command"},
    };
    for (auto& b : bad)
    {
        auto r = devsim(b.args);
        EXPECT_EQ(r.status, 1) << b.args.joinIntoString(" ");
        EXPECT_TRUE(r.output.contains(b.message)) << r.output;
    }

    {
        std::lock_guard<std::mutex> l(eventsLock);
        events.clear();
    }
    ASSERT_EQ(devsim({"disconnect"}).status, 0);
    ASSERT_EQ(devsim({"connect", "KQ3X"}).status, 0);
    ASSERT_TRUE(wait_for_events(4));
    {
        std::lock_guard<std::mutex> l(eventsLock);
        EXPECT_EQ(std::vector<int>(events.begin(), events.begin() + 4), (std::vector<int>{1, 7, 2, 3}));
    }
    api.getDeviceInfo(info);
    EXPECT_STREQ((const char*)info + 50, "KQ3X");

    setenv("RX40_DEVSIM_SOCKET", folder.getChildFile("none.sock").getFullPathName().toRawUTF8(), 1);
    auto unreachable = devsim({"record"});
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_TRUE(unreachable.output.contains("is rx40panel running?"));
    folder.deleteRecursively();
}
