#pragma once
// A main page on the in-process device library, for the tests that drive its controls.
#include "device/connected_model.h"
#include "pages/left_panel.h"
#include "platform/program_settings.h"
#include "tests/fake_devbridge.h"
#include <cstring>
#include <gtest/gtest.h>

struct main_page : testing::Test
{
    fake_devbridge& fake = (fake_devbridge::reset(), fake_devbridge::instance());
    std::unique_ptr<left_panel> page;

    void SetUp() override
    {
        platform::settings_file().getParentDirectory().createDirectory();
        platform::settings_file().deleteFile();
        set_connected_model("KQ");
    }
    void TearDown() override { page.reset(); }

    void open() { page = std::make_unique<left_panel>(fake.api()); }
    // The device connects as MODEL and reports RECORD.
    void connect(const char* model, std::array<uint8_t, 27> record)
    {
        std::memset(fake.info.data(), 0, 250);
        std::memcpy(fake.info.data(), "Tavri", 5);
        std::memcpy(fake.info.data() + 50, model, std::strlen(model));
        fake.device = record;
        for (int code : {7, 2, 3})
            fake.callback(code);
        pump_messages();
        fake.sent.clear();
    }
    static std::array<uint8_t, 27> record()
    {
        return {0, 8, 8, 4, 5, 6, 7, 0, 0, 0x5a, 0, 1, 0, 1, 0, 1, 1, 3, 7, 5, 0, 0, 190, 0xa5, 1, 1, 1};
    }
    void click(juce::Button& b)
    {
        b.triggerClick();
        pump_messages();
    }
    std::array<uint8_t, 27> last_sent() const
    {
        return fake.sent.empty() ? std::array<uint8_t, 27>{} : fake.sent.back();
    }
};
