#pragma once
#include "app/command_channel.h"
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <thread>
#include <vector>
#if !JUCE_WINDOWS
#include <sys/stat.h>
#endif

inline void serve_messages(int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}

// A channel of the test's own: its own name, and on Linux its own runtime folder.
struct command_channel_test : testing::Test
{
    juce::TemporaryFile folder;
    juce::String oldRuntime;
    const juce::String app =
        "channel-test-" + juce::String::toHexString(juce::Random::getSystemRandom().nextInt64());
    std::vector<juce::StringArray> received;

#if !JUCE_WINDOWS
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
#endif

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

    // Sends BYTES as one client on another thread while this (message) thread serves. (Between
    // two callers a pipe may have no free end for a moment, so the client may wait for one.)
    command_channel::answer exchange(const std::string& bytes)
    {
        command_channel::answer reply{-1, {}};
        std::atomic<bool> finished{false};
        std::thread client(
            [&]
            {
                if (auto c = platform::connect_to_running_copy(app, 1000))
                {
                    c->write(bytes.data(), (int)bytes.size());
                    if (!command_channel::read_answer(*c, reply, 5000)) reply = {-2, {}};
                }
                finished = true;
            });
        for (int i = 0; i < 600 && !finished; ++i)
            serve_messages(10);
        client.join();
        return reply;
    }
};
