#include "device/ui_para.h"
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(ui_para, layout_and_initial_contents)
{
    ui_para p = ui_para::initial();
    EXPECT_EQ(p.bytes()[17], 1); // lightColour
    EXPECT_EQ(p.bytes()[18], 1); // lightColourMask
    EXPECT_EQ(p.bytes()[24], 1); // headState
    int others = 0;
    for (int i = 0; i < ui_para::size; ++i)
        if (i != 17 && i != 18 && i != 24) others += p.bytes()[i];
    EXPECT_EQ(others, 0);
    // A few offsets by name, the rest follow from the packed declaration order.
    EXPECT_EQ((uint8_t*)&p.hardMode - p.bytes(), 11);
    EXPECT_EQ((uint8_t*)&p.eqPreset - p.bytes(), 21);
    EXPECT_EQ((uint8_t*)&p.linkState - p.bytes(), 26);
}

TEST(ui_para, battery_level_table)
{
    struct
    {
        int byte, level;
    } cases[] = {{255, 6}, {201, 6}, {200, 5}, {190, 5}, {189, 4}, {178, 4},
                 {177, 3}, {174, 3}, {173, 2}, {161, 2}, {160, 1}, {0, 1}};
    for (auto c : cases)
        EXPECT_EQ(battery_level((uint8_t)c.byte), c.level) << c.byte;
}

TEST(ui_para_store, sends_only_when_a_byte_changes_and_keeps_device_bytes)
{
    std::vector<ui_para> sent;
    ui_para_store store([&](ui_para& p) { sent.push_back(p); });
    // As last read from the device: reserved and device-only bytes set.
    for (int i = 0; i < ui_para::size; ++i)
        store.record().bytes()[i] = (uint8_t)(0x40 + i);

    EXPECT_FALSE(store.change([](ui_para& p) { p.volume1 = p.volume1; }));
    EXPECT_FALSE(store.change([](ui_para&) {}));
    EXPECT_TRUE(sent.empty());

    EXPECT_TRUE(store.change([](ui_para& p) { p.eqPreset = 3; }));
    ASSERT_EQ(sent.size(), 1u);
    for (int i = 0; i < ui_para::size; ++i)
        EXPECT_EQ(sent[0].bytes()[i], i == 21 ? 3 : 0x40 + i) << "byte " << i;
    EXPECT_EQ(store.record(), sent[0]);

    EXPECT_FALSE(store.change([](ui_para& p) { p.eqPreset = 3; })); // already selected
    EXPECT_EQ(sent.size(), 1u);
}

TEST(ui_para_store, change_holds_the_reentrant_lock)
{
    bool locked = false;
    ui_para_store store(
        [&](ui_para&)
        {
            // Another thread cannot enter while the transaction runs.
            std::thread other(
                [&]
                {
                    if (device_parameter_lock().try_enter())
                        device_parameter_lock().leave();
                    else
                        locked = true;
                });
            other.join();
        });
    store.change(
        [](ui_para& p)
        {
            platform::scoped_critical_section again(device_parameter_lock()); // re-entrant on this thread
            p.mode = 4;
        });
    EXPECT_TRUE(locked);
    EXPECT_TRUE(device_parameter_lock().try_enter());
    device_parameter_lock().leave();
}
