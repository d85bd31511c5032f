#include "app/locale_prompt.h"
#include "platform/program_settings.h"
#include "platform/system_language.h"
#include "tests/alert_watch.h"
#include "tests/fake_devbridge.h"
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

TEST(system_language, from_the_locale_environment)
{
    struct
    {
        const char* locale;
        int id;
    } cases[] = {{"zh_CN.UTF-8", 0x0804}, {"zh_TW.UTF-8", 0x0404}, {"en_US.UTF-8", 0x0409}, {"C", 0x0409},
                 {"POSIX", 0x0409},       {"C.UTF-8", 0x0409},     {"de_DE@euro", 0x0407},  {"ja_JP", 0x0411},
                 {"zh", 0x0804},          {"xx_YY", 0x0409}};
    for (auto& c : cases)
        EXPECT_EQ(platform::lang_id_of_locale(c.locale), c.id) << c.locale;

    // LC_ALL, then LC_MESSAGES, then LANG.
    setenv("LANG", "zh_TW.UTF-8", 1);
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    setenv("LC_ALL", "", 1);
    EXPECT_EQ(platform::system_default_lang_id(), 0x0411);
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(platform::system_default_lang_id(), 0x0804);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(platform::system_default_lang_id(), 0x0404);
}

TEST(locale_prompt, when_it_asks_and_what_the_answers_do)
{
    platform::settings_file().getParentDirectory().createDirectory();
    auto shown = [](int language, int answer)
    {
        alert_watch box;
        box.answer(answer);
        locale_prompt(language);
        return box.seen.startsWith(juce::CharPointer_UTF8("提示. "));
    };
    platform::settings_file().deleteFile();
    EXPECT_FALSE(shown(0x0804, 0));
    EXPECT_FALSE(shown(0, 0));
    EXPECT_TRUE(shown(0x0404, 0)); // "退出": nothing changes, it asks again
    EXPECT_TRUE(shown(0x0409, 0));
    EXPECT_EQ(platform::read_pset("language", 1), 1);
    for (const char* value : {"0", "2"})
    {
        platform::settings_file().replaceWithText(juce::String("[pset]\r\nlanguage=") + value + "\r\n");
        EXPECT_FALSE(shown(0x0409, 0)) << value;
    }
    platform::settings_file().deleteFile();
    EXPECT_TRUE(shown(0x0409, 2)); // "以后不再提示"
    EXPECT_EQ(platform::read_pset("language", 1), 0);
    EXPECT_FALSE(shown(0x0409, 0));
    platform::settings_file().deleteFile();
}
