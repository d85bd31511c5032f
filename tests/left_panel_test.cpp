#include "device/connected_model.h"
#include "pages/left_panel.h"
#include "platform/program_settings.h"
#include "skin/dialog_lookfeel.h"
#include "skin/image_root.h"
#include "tests/fake_devbridge.h"
#include "tests/main_page_fixture.h"
#include <cstring>
#include <gtest/gtest.h>

TEST_F(main_page, volume_channels_and_mute_memories)
{
    open();
    connect("KQ3", record());
    // Channels 1-4 on bytes 3, 4, 6, 5.
    const int bytes[4] = {3, 4, 6, 5};
    for (int n = 0; n < 4; ++n)
    {
        page->volume_slider(n).setValue(2, juce::sendNotificationSync);
        ASSERT_FALSE(fake.sent.empty());
        EXPECT_EQ(last_sent()[(size_t)bytes[n]], 2) << "channel " << n + 1;
        EXPECT_EQ(page->volume_label(n).getText(), "25%");
    }
    const size_t sends = fake.sent.size();
    page->volume_slider(0).setValue(2, juce::sendNotificationSync); // no step crossed
    EXPECT_EQ(fake.sent.size(), sends);

    page->volume_slider(0).setValue(5, juce::sendNotificationSync);
    click(page->mute(0));
    EXPECT_EQ(last_sent()[3], 0);
    EXPECT_EQ(page->volume_slider(0).getValue(), 0);
    click(page->mute(0));
    EXPECT_EQ(last_sent()[3], 5);
    EXPECT_EQ(page->volume_label(0).getText(), "62%");

    // After a new connection the memories of channels 1, 3 and 4 stay; channel 2 follows while unmuted.
    fake.device[3] = 1;
    fake.device[4] = 3;
    fake.callback(16);
    pump_messages();
    EXPECT_EQ(page->volume_memory(0), 5);
    EXPECT_EQ(page->volume_memory(1), 3);
    EXPECT_FALSE(page->mute(0).getToggleState());
}

TEST_F(main_page, releasing_a_mute_whose_memory_was_never_set_restores_the_muted_volume)
{
    open();
    auto r = record();
    r[3] = 6;
    std::memset(fake.info.data(), 0, 250);
    std::memcpy(fake.info.data() + 50, "KQ3", 3);
    fake.device = r;
    fake.callback(2);
    fake.callback(16); // the first redraw keeps the memories unset
    pump_messages();
    fake.sent.clear();
    EXPECT_GT(page->volume_memory(0), 8);

    click(page->mute(0));
    EXPECT_EQ(last_sent()[3], 0);
    click(page->mute(0));
    EXPECT_EQ(last_sent()[3], 6); // never above 8
    EXPECT_EQ(page->volume_label(0).getText(), "75%");
}

TEST_F(main_page, ducking_and_noise_reduction)
{
    open();
    connect("KQ3", record()); // ducking 0, noise reduction off
    EXPECT_FALSE(page->ducking_level(0).isEnabled());
    click(page->ducking_switch());
    EXPECT_EQ(last_sent()[7], 1); // first time on: level 1
    EXPECT_TRUE(page->ducking_level(0).getToggleState());
    click(page->ducking_level(2));
    EXPECT_EQ(last_sent()[7], 3);
    const size_t sends = fake.sent.size();
    click(page->ducking_level(2)); // already active
    EXPECT_EQ(fake.sent.size(), sends);
    EXPECT_TRUE(page->ducking_level(2).getToggleState());

    click(page->denoise_switch()); // no kind ever chosen: nothing to send
    EXPECT_EQ(fake.sent.size(), sends);
    click(page->denoise_kind(3));
    EXPECT_EQ(last_sent()[8], 0);
    EXPECT_EQ(last_sent()[14], 3);

    // Display order: (denoiseLevel, aiDenoise) -> kind shown on
    struct
    {
        uint8_t level, ai;
        int kind;
    } cases[] = {{6, 0, 0}, {9, 0, 0}, {14, 0, 1}, {6, 3, 0}, {0, 1, 2}, {0, 3, 3}, {0, 2, 3}};
    for (auto c : cases)
    {
        fake.device[8] = c.level;
        fake.device[14] = c.ai;
        fake.callback(3);
        pump_messages();
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(page->denoise_kind(k).getToggleState(), k == c.kind)
                << (int)c.level << "/" << (int)c.ai;
    }
    fake.device[7] = 7;
    fake.callback(3);
    pump_messages();
    EXPECT_TRUE(page->ducking_level(2).getToggleState()); // out of range shows level 3
}

TEST_F(main_page, switches_show_the_state_and_a_click_asks_for_the_other)
{
    open();
    connect("KQ3", record()); // switch1 1, hardMode 1, switch3 0
    EXPECT_TRUE(page->switch_on(0).isVisible());
    EXPECT_TRUE(page->switch_off(2).isVisible());
    click(page->switch_on(0));
    EXPECT_EQ(last_sent()[13], 0);
    EXPECT_TRUE(page->switch_off(0).isVisible());
    click(page->switch_off(2));
    EXPECT_EQ(last_sent()[12], 1);
    click(page->head_on());
    EXPECT_EQ(last_sent()[15], 0);
    EXPECT_FALSE(page->head_pair().isEnabled());
}

TEST_F(main_page, page_codes_survive_restarts)
{
    auto mode = [] { return platform::read_sset("mode", -1); };
    open();
    EXPECT_EQ(mode(), 128);
    EXPECT_TRUE(page->nav_button(0).getToggleState());
    EXPECT_TRUE(page->device_link().isVisible());

    click(page->nav_button(3));
    click(page->nav_button(0));
    EXPECT_EQ(mode(), 131);
    EXPECT_TRUE(page->device_link().isVisible());
    page.reset();
    open();
    EXPECT_EQ(mode(), 128);

    page.reset();
    platform::write_sset("mode", "0");
    open();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(page->nav_button(i).getToggleState());
    EXPECT_FALSE(page->device_link().isVisible());
    page.reset();
    platform::write_sset("mode", "5");
    open();
    EXPECT_TRUE(page->info().isVisible());
}

TEST_F(main_page, connection_display_by_model_kind)
{
    open();
    EXPECT_EQ(page->strip().shown(), "PANEL\\noconnect.png");
    EXPECT_FALSE(page->volume_slider(0).isEnabled());
    fake.callback(7);
    pump_messages();
    for (auto* frame : {"PANEL\\connecting.png", "PANEL\\connecting1.png", "PANEL\\connecting2.png",
                        "PANEL\\connecting.png"})
    {
        EXPECT_EQ(page->strip().shown(), frame);
        page->timerCallback();
    }

    struct
    {
        const char* model;
        int kind;
        const char* strip;
    } cases[] = {{"KQ3", 1, "PANEL\\connect.png"},
                 {"KQ3X", 1, "PANEL\\connect.png"},
                 {"LN7", 2, "PANEL\\ln7connect.png"},
                 {"kq3x", 0, "PANEL\\connecting.png"}};
    for (auto c : cases)
    {
        fake.callback(1);
        pump_messages();
        connect(c.model, record());
        EXPECT_EQ(left_panel::model_kind(), c.kind) << c.model;
        EXPECT_EQ(page->strip().shown(), c.strip) << c.model;
        EXPECT_EQ(page->picture().shown(), c.kind == 0 ? "PANEL\\kq3off.png" : "PANEL\\kq3.png") << c.model;
        EXPECT_EQ(page->receiver_pair().isEnabled(), c.kind != 2) << c.model;
        EXPECT_TRUE(page->volume_slider(0).isEnabled());
    }

    // Battery and wireless images
    EXPECT_FALSE(page->battery().isVisible());
    fake.device[22] = 201;
    fake.device[24] = 2;
    fake.device[25] = 2;
    fake.callback(4);
    pump_messages();
    EXPECT_TRUE(page->battery().isVisible());
    EXPECT_EQ(page->battery_look(), 6);
    EXPECT_EQ(page->head_image().shown(), "wirestate\\head_pair.png");
    EXPECT_EQ(page->receiver_image().shown(), "wirestate\\main_pair.png");
    fake.device[24] = 3; // unknown head state leaves the image
    fake.callback(3);
    pump_messages();
    EXPECT_EQ(page->head_image().shown(), "wirestate\\head_pair.png");
    fake.device[15] = 2; // head unit not 1: closed
    fake.callback(3);
    pump_messages();
    EXPECT_EQ(page->head_image().shown(), "wirestate\\head_close.png");

    fake.callback(1);
    pump_messages();
    EXPECT_EQ(page->strip().shown(), "PANEL\\noconnect.png");
    EXPECT_FALSE(page->battery().isVisible());
    EXPECT_FALSE(page->volume_slider(0).isEnabled());
}

TEST_F(main_page, information_page_columns)
{
    open();
    std::memset(fake.linkedInfo.data(), 0, 250);
    std::memcpy(fake.linkedInfo.data(), "TX", 2);
    std::memcpy(fake.linkedInfo.data() + 50, "LN7-TX", 6);
    connect("LN7", record());
    fake.callback(15);
    pump_messages();
    EXPECT_EQ(page->info().text(0, 0), "LN7-TX"); // wireless: the linked unit on the left
    EXPECT_EQ(page->info().text(1, 0), "LN7");
    fake.callback(1);
    pump_messages();
    EXPECT_EQ(page->info().text(0, 0), " ");
}

// Every image the main page and its pages ask for, in every state, exists in both languages.
TEST_F(main_page, skin_has_every_image_asked_for)
{
    open();
    connect("LN7", record());
    for (int i = 0; i < 6; ++i)
        click(page->nav_button(i));
    for (int code : {4, 16, 1, 7})
        fake.callback(code);
    pump_messages();
    page->timerCallback(); // the connecting animation's other frames
    page->timerCallback();
    // The title bar in both widths and its three buttons.
    dialog_lookfeel look;
    juce::DocumentWindow window("t", juce::Colours::grey, 0, false);
    juce::Image bar(juce::Image::RGB, 1390, 34, true);
    juce::Graphics barGraphics(bar);
    for (int wide : {0, 1})
    {
        skin::set_width_flag(wide);
        look.drawDocumentWindowTitleBar(window, barGraphics, 1390, 34, 0, 1390, nullptr, false);
    }
    skin::set_width_flag(0);
    for (int type : {juce::DocumentWindow::minimiseButton, juce::DocumentWindow::maximiseButton,
                     juce::DocumentWindow::closeButton})
        std::unique_ptr<juce::Button>(look.createDocumentWindowButton(type));
    juce::Image shot(juce::Image::ARGB, 1390, 574, true);
    juce::Graphics g(shot);
    page->paintEntireComponent(g, false);
    EXPECT_TRUE(skin::missing_images().isEmpty()) << skin::missing_images().joinIntoString("\n");
}

TEST_F(main_page, eq_presets_and_levels)
{
    open();
    auto r = record();
    r[21] = 2;
    connect("KQ3", r);
    auto& eq = page->eq();
    EXPECT_TRUE(eq.preset_button(2).getToggleState());
    click(eq.preset_button(2)); // already selected
    EXPECT_TRUE(fake.sent.empty());
    EXPECT_TRUE(eq.preset_button(2).getToggleState());
    click(eq.preset_button(9));
    ASSERT_EQ(fake.sent.size(), 1u);
    EXPECT_EQ(last_sent()[21], 9);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(eq.preset_button(i).getToggleState(), i == 9);

    fake.sent.clear();
    eq.level_slider(0).setValue(0, juce::sendNotificationSync);
    fake.sent.clear();
    for (int v = 1; v <= 15; ++v)
        eq.level_slider(0).setValue(v, juce::sendNotificationSync);
    EXPECT_EQ(fake.sent.size(), 15u); // one record per step
    EXPECT_EQ(last_sent()[1], 15);
    EXPECT_EQ(eq.level_label(0).getText(), "100%");
    eq.level_slider(1).setValue(7, juce::sendNotificationSync);
    EXPECT_EQ(last_sent()[2], 7);
    EXPECT_EQ(eq.level_label(1).getText(), "46%");

    fake.device[21] = 11;
    fake.callback(3);
    pump_messages();
    for (int i = 0; i < 11; ++i)
        EXPECT_FALSE(eq.preset_button(i).getToggleState());
}

TEST_F(main_page, light_modes_colours_and_breath_mask)
{
    open();
    auto r = record();
    r[16] = 1;
    r[17] = 2; // Blue
    r[18] = 0x01;
    r[19] = 0;
    connect("KQ3", r);
    auto& led = page->light();
    const int white = 0, blue = 3, red = 6;
    EXPECT_TRUE(led.colour_button(blue).getToggleState());
    EXPECT_EQ(led.brightness_label().getText(), "12%");

    click(led.mode_button(2)); // Breath shows the mask, not the single colour
    EXPECT_EQ(last_sent()[16], 2);
    EXPECT_TRUE(led.colour_button(red).getToggleState());
    EXPECT_FALSE(led.colour_button(blue).getToggleState());
    const size_t sends = fake.sent.size();
    click(led.colour_button(red)); // the only colour: stays, nothing sent
    EXPECT_EQ(fake.sent.size(), sends);
    EXPECT_TRUE(led.colour_button(red).getToggleState());
    click(led.colour_button(white));
    EXPECT_EQ(last_sent()[18], 0x41);
    click(led.mode_button(2)); // already selected
    EXPECT_TRUE(led.mode_button(2).getToggleState());
    EXPECT_EQ(fake.sent.size(), sends + 1);

    click(led.mode_button(1)); // back to one colour: Blue again
    EXPECT_TRUE(led.colour_button(blue).getToggleState());
    click(led.colour_button(white));
    EXPECT_EQ(last_sent()[17], 7);
    led.brightness().setValue(7, juce::sendNotificationSync);
    EXPECT_EQ(last_sent()[19], 7);
    EXPECT_EQ(led.brightness_label().getText(), "100%");

    for (int mode : {0, 3})
    {
        click(led.mode_button(mode));
        EXPECT_FALSE(led.colour_button(white).isEnabled()) << mode;
        EXPECT_FALSE(led.brightness().isEnabled()) << mode;
    }

    fake.device[16] = 5; // unknown mode: no mode on, slider left, colours enabled, single colour shown
    fake.device[17] = 1;
    fake.callback(3);
    pump_messages();
    for (int m = 0; m < 4; ++m)
        EXPECT_FALSE(led.mode_button(m).getToggleState());
    EXPECT_TRUE(led.colour_button(red).isEnabled());
    EXPECT_TRUE(led.colour_button(red).getToggleState());
}

TEST(hardware_pages, do_nothing_without_a_device_link)
{
    ASSERT_EQ(the_hard_panel(), nullptr);
    tavri_eq3_set eq;
    eq.level_slider(0).setValue(9, juce::sendNotificationSync);
    EXPECT_EQ(eq.level_label(0).getText(), "0");
    tavri_led_set led;
    led.brightness().setValue(3, juce::sendNotificationSync);
    EXPECT_EQ(led.brightness_label().getText(), "0");
}
