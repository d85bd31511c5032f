#include "platform/profile_ini.h"
#include <gtest/gtest.h>

namespace
{
struct ini_file : testing::Test
{
    juce::File folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                            .getNonexistentChildFile("ini_test", "", false);
    juce::File file = folder.getChildFile("set.ini");
    void SetUp() override { folder.createDirectory(); }
    void TearDown() override { folder.deleteRecursively(); }
};

// The file as the system's profile code writes it: ours keeps the file's own line ends and blank
// lines; Windows' (as Wine has it) rewrites the file with CR LF and without blank lines.
std::string as_written(std::string text)
{
#if defined(_WIN32)
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    for (size_t at; (at = out.find("\r\n\r\n")) != std::string::npos;)
        out.erase(at, 2);
    return out;
#else
    return text;
#endif
}
} // namespace

TEST_F(ini_file, reads_values_like_windows)
{
    file.replaceWithText("; comment\r\n[PSET]\r\nProfession = 12abc\r\nempty=\r\nword=abc\r\nneg=-5\r\n"
                         "[sset]\r\nmode=3\r\nmode=9\r\n# other comment\r\n");
    struct
    {
        const char *section, *key;
        int def, expected;
    } cases[] = {
        {"pset", "profession", 0, 12},                           // case-insensitive names, leading digits
        {"pset", "empty", 7, 7},                                 // empty value gives the default
        {"pset", "word", 7, 0},                                  // no digits gives 0
        {"pset", "neg", 0, -5},        {"sset", "mode", 128, 3}, // first occurrence wins
        {"sset", "missing", 50, 50},                             // missing key
        {"nosuch", "mode", 128, 128},                            // missing section
        {"pset", "mode", 128, 128},                              // key of another section
    };
    for (auto& c : cases)
        EXPECT_EQ(platform::get_private_profile_int(c.section, c.key, c.def, file), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(platform::get_private_profile_int("pset", "language", 1, folder.getChildFile("none.ini")), 1);
}

TEST_F(ini_file, write_keeps_other_lines_and_hand_edits_show_at_next_read)
{
    file.replaceWithText("; keep me\r\n[pset]\r\nlanguage=1\r\n\r\n[sset]\r\nmode=128\r\n");
    ASSERT_TRUE(platform::write_private_profile_string("PSET", "Language", "0", file));
    ASSERT_TRUE(platform::write_private_profile_string("pset", "profession", "1", file));
    ASSERT_TRUE(platform::write_private_profile_string("other", "k", "v", file));
    EXPECT_EQ(file.loadFileAsString().toStdString(),
              as_written("; keep me\r\n[pset]\r\nlanguage=0\r\nprofession=1\r\n\r\n[sset]\r\nmode=128\r\n"
                         "[other]\r\nk=v\r\n"));
    file.replaceWithText("[pset]\r\nlanguage=2\r\n");
    EXPECT_EQ(platform::get_private_profile_int("pset", "language", 1, file), 2);
}

TEST_F(ini_file, write_creates_the_file_but_not_its_folder)
{
    ASSERT_TRUE(platform::write_private_profile_string("sset", "texiaoVol", "40", file));
    EXPECT_EQ(platform::get_private_profile_int("sset", "texiaoVol", 50, file), 40);

    auto missing = folder.getChildFile("no/such/set.ini");
    EXPECT_FALSE(platform::write_private_profile_string("sset", "mode", "1", missing));
    EXPECT_FALSE(missing.getParentDirectory().exists());
}

TEST_F(ini_file, a_write_keeps_the_file_s_encoding)
{
    auto bytes = [](const juce::File& f)
    {
        juce::MemoryBlock b;
        f.loadFileAsData(b);
        return std::string((const char*)b.getData(), b.getSize());
    };
    auto utf16le = [](const std::u16string& text)
    {
        std::string out = "\xFF\xFE";
        for (auto c : text)
            out += {(char)(c & 0xFF), (char)(c >> 8)};
        return out;
    };
    struct
    {
        const char* what;
        std::string before, after;
    } cases[] = {
        {"UTF-16 LE with a byte-order mark",
         utf16le(u"; \u9EA6\u514B\u98CE\r\n[pset]\r\nlanguage=1\r\n[sset]\r\nmode=3\r\n"),
         utf16le(u"; \u9EA6\u514B\u98CE\r\n[pset]\r\nlanguage=0\r\n[sset]\r\nmode=3\r\ntexiaoVol=40\r\n")},
        {"GBK bytes in another line", "; \xC4\xE3\xBA\xC3\r\n[pset]\r\nlanguage=1\r\n[sset]\r\nmode=3",
         "; \xC4\xE3\xBA\xC3\r\n[pset]\r\nlanguage=0\r\n[sset]\r\nmode=3\r\ntexiaoVol=40\r\n"},
        {"UTF-8 with a byte-order mark and LF line ends", "\xEF\xBB\xBF[pset]\nlanguage=1\n",
         as_written("\xEF\xBB\xBF[pset]\nlanguage=0\n[sset]\ntexiaoVol=40\n")},
    };
    for (auto& c : cases)
    {
        file.replaceWithData(c.before.data(), c.before.size());
        EXPECT_EQ(platform::get_private_profile_int("pset", "language", 1, file), 1) << c.what;
        ASSERT_TRUE(platform::write_private_profile_string("pset", "language", "0", file)) << c.what;
        ASSERT_TRUE(platform::write_private_profile_string("sset", "texiaoVol", "40", file)) << c.what;
        EXPECT_EQ(bytes(file), c.after) << c.what;
        EXPECT_EQ(platform::get_private_profile_int("sset", "texiaoVol", 50, file), 40) << c.what;
    }
}
