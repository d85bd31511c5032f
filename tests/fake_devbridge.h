#pragma once
#include "device/devbridge_api.h"
#include "device/device_link_listener.h"
#include "device/my_message.h"
#include <array>
#include <vector>

// An in-process device library: records every send, serves the record and the information.
struct fake_devbridge
{
    std::vector<std::array<uint8_t, 27>> sent;
    std::array<uint8_t, 27> device{};
    std::array<uint8_t, 250> info{}, linkedInfo{};
    // The preset blocks: "P12MIC" with 26 bytes or "P12Setting" with 98, in order.
    std::vector<std::pair<juce::String, std::vector<uint8_t>>> blocks;
    std::vector<std::pair<int, int>> envCalls;
    int initCalls = 0;
    hid_event_callback callback = nullptr;

    // Every entry point bound to this fake.
    devbridge_api api() const;
    // Only the ones named ("SendUIPara getUIPara ...").
    devbridge_api api_with(const juce::String& names) const;

    static fake_devbridge& instance(); // the one the entry points use; reset per test
    static void reset();
};

// Records what the device link told the main page, in order.
struct recording_listener : device_link_listener
{
    juce::StringArray calls;
    void on_device_connecting() override { calls.add("connecting"); }
    void on_device_connected() override { calls.add("connected"); }
    void on_device_lost() override { calls.add("lost"); }
    void handleMessage(const juce::Message& m) override
    {
        if (auto* mm = dynamic_cast<const my_message*>(&m)) calls.add(mm->command + ":" + mm->argument);
    }
};

// Runs the message loop until the queue is drained (posted messages delivered).
void pump_messages(int milliseconds = 30);
