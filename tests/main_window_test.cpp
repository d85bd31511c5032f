#include "app/main_host_window.h"
#include "app/plugin_host_app.h"
#include "platform/profile_ini.h"
#include "platform/program_settings.h"
#include "skin/dialog_lookfeel.h"
#include "tests/fake_devbridge.h"
#include <gtest/gtest.h>

TEST(main_window, title_follows_profession)
{
    platform::settings_file().getParentDirectory().createDirectory();
    for (auto [value, title] :
         {std::pair{"1", "Tavri控制面板PRO"}, {"2", "Tavri控制面板"}, {"0", "Tavri控制面板"}})
    {
        ASSERT_TRUE(
            platform::write_private_profile_string("pset", "profession", value, platform::settings_file()));
        EXPECT_EQ(PluginHostApp::application_name(), juce::String(juce::CharPointer_UTF8(title))) << value;
    }
    platform::settings_file().deleteFile();
}

TEST(main_window, width_toggle_close_and_update_messages)
{
    dialog_lookfeel look;
    juce::LookAndFeel::setDefaultLookAndFeel(&look);
    {
        MainHostWindow window;
        window.setTitleBarHeight(34);
        const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
        EXPECT_EQ(window.getWidth(), 1008);
        window.setTopLeftPosition(10, 10);
        window.minimiseButtonPressed();
        EXPECT_EQ(window.getWidth(), 1390);
        EXPECT_EQ(skin::width_flag(), 1);
        window.minimiseButtonPressed();
        EXPECT_EQ(window.getBounds(), juce::Rectangle<int>(1008, 600).withCentre(screen.getCentre()));
        EXPECT_EQ(skin::width_flag(), 0);

        auto* toggle = window.getMinimiseButton();
        ASSERT_NE(toggle, nullptr);
        EXPECT_TRUE(toggle->isVisible());
        window.handleCommandMessage(0); // device lost
        EXPECT_FALSE(toggle->isVisible());
        EXPECT_FALSE(toggle->isEnabled());
        window.handleCommandMessage(1); // update information arrived
        EXPECT_TRUE(toggle->isVisible() && toggle->isEnabled());
        EXPECT_TRUE(window.getMaximiseButton()->isVisible());

        window.closeButtonPressed();
        EXPECT_FALSE(window.isVisible()); // hidden, not gone
    }
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
}

TEST(main_window, per_user_properties_go_where_linux_users_look_for_settings)
{
    const auto home = juce::File::getSpecialLocation(juce::File::userHomeDirectory);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PluginHostApp::properties_options().getDefaultFile(),
              home.getChildFile(".config/TAVRIRX4.settings"));
    setenv("XDG_CONFIG_HOME", "/tmp/rx40-config", 1);
    EXPECT_EQ(PluginHostApp::properties_options().getDefaultFile(),
              juce::File("/tmp/rx40-config/TAVRIRX4.settings"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(PluginHostApp::properties_options().getDefaultFile(),
              home.getChildFile(".config/TAVRIRX4.settings"));
    unsetenv("XDG_CONFIG_HOME");
}
