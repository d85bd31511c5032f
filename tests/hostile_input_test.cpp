// Every input that ever broke one of the readers, fed to each of them on every run: the list
// file, the online list and the hotkey file. Files named "refused-*" must be refused whole;
// "kept-*" files must be read, with every bad character as U+FFFD.
#include "platform/utf8_text.h"
#include "platform/xml_input.h"
#include "presets/https_client.h"
#include "presets/list_file.h"
#include "soundboard/hotkey_table.h"
#include "tests/preset_fixtures.h"
#include <gtest/gtest.h>

namespace
{
const juce::File hostile_folder = juce::File(RX40_TEST_DATA_DIR).getChildFile("hostile");

bool valid_utf8(const juce::String& s)
{
    const auto raw = std::string(s.toRawUTF8());
    return platform::repaired_utf8(raw.data(), raw.size()) == raw;
}

void expect_valid_strings(const juce::XmlElement& e, const juce::String& file)
{
    if (e.isTextElement())
    {
        EXPECT_TRUE(valid_utf8(e.getText())) << file;
        return;
    }
    for (int i = 0; i < e.getNumAttributes(); ++i)
        EXPECT_TRUE(valid_utf8(e.getAttributeValue(i))) << file;
    for (auto* child : e.getChildIterator())
        expect_valid_strings(*child, file);
}
} // namespace

TEST(hostile_input, every_reader_survives_every_kept_file)
{
    const auto files = hostile_folder.findChildFiles(juce::File::findFiles, false, "*.xml");
    ASSERT_FALSE(files.isEmpty()) << hostile_folder.getFullPathName();
    for (auto& file : files)
    {
        const auto name = file.getFileName();
        const bool refused = name.startsWith("refused-");
        ASSERT_TRUE(refused || name.startsWith("kept-")) << name;
        juce::MemoryBlock bytes;
        ASSERT_TRUE(file.loadFileAsData(bytes));

        // The online list, as the download thread reads it.
        auto root = xml_of_body(std::string((const char*)bytes.getData(), bytes.getSize()));
        EXPECT_EQ(root == nullptr, refused) << name;
        preset_list online;
        online.append("kept", effect_preset{});
        if (root != nullptr)
        {
            expect_valid_strings(*root, name);
            EXPECT_TRUE(read_online_list(*root, online, false)) << name;
            EXPECT_EQ(online.count(), 1) << name;
            EXPECT_TRUE(valid_utf8(online.name(0))) << name;
            EXPECT_TRUE(online.name(0).containsChar(0xFFFD)) << name;
        }

        // The list file at start-up: a refused file leaves the list as it was.
        preset_list saved;
        saved.append("kept", effect_preset{});
        load_list_file(saved, file, false);
        if (refused)
        {
            EXPECT_EQ(saved.name(0), "kept") << name;
        }

        // The hotkey file.
        hotkey_table keys;
        keys.load(file);
        if (refused)
        {
            EXPECT_EQ(keys.size(), 0) << name;
        }
    }
}

TEST(hostile_input, nesting_is_bounded_and_declarations_refused)
{
    auto nested = [](int levels)
    { return juce::String::repeatedString("<a>", levels) + juce::String::repeatedString("</a>", levels); };
    EXPECT_NE(platform::parse_xml(nested(platform::max_xml_depth)), nullptr);
    EXPECT_EQ(platform::parse_xml(nested(platform::max_xml_depth + 1)), nullptr);
    // Siblings and self-closed elements do not add depth; markup in comments and CDATA is not
    // markup.
    EXPECT_NE(platform::parse_xml("<a>" + juce::String::repeatedString("<b/><c x='d>'></c>", 5000) +
                                  "<!-- <e><e><e> --><![CDATA[<f><f>]]></a>"),
              nullptr);
    // Predefined entities and character references only.
    EXPECT_NE(platform::parse_xml("<a x='&amp;&#x41;&#65;'>&lt;&gt;&quot;&apos;</a>"), nullptr);
    for (auto text : {"<a><!ENTITY x \"y\"></a>", "<!DOCTYPE a><a/>", "<a x='1'", "<a><!-- never closed",
                      "<a x='<b>'/>", "<a>&<b/>;</a>", "<a>&nbsp;</a>", "<a x='&#x123456789;'/>",
                      "<a><m\ne<?x?>o</a>" /* a tag that swallows a processing instruction */})
        EXPECT_EQ(platform::parse_xml(text), nullptr) << text;
}

TEST(hostile_input, a_bad_name_from_the_server_never_costs_the_saved_library)
{
    using namespace preset_fixtures;
    juce::TemporaryFile file(".xml");
    const auto body = document(category("Hall &#x200000;", valid_items(17, false)) +
                               category("Room", valid_items(17, false)))
                          .toStdString();
    auto root = xml_of_body(body);
    ASSERT_NE(root, nullptr);
    preset_list downloaded;
    ASSERT_TRUE(read_online_list(*root, downloaded, false));
    ASSERT_EQ(downloaded.count(), 2);
    ASSERT_TRUE(write_list_file(downloaded, file.getFile()));

    preset_list next_start;
    EXPECT_EQ(load_list_file(next_start, file.getFile(), false), 2);
    EXPECT_EQ(next_start.name(0), downloaded.name(0));
    EXPECT_TRUE(next_start.name(0).startsWith(juce::String("Hall ") + juce::String::charToString(0xFFFD)));
}

TEST(hostile_input, invalid_utf8_is_repaired_sequence_by_sequence)
{
    struct
    {
        std::string in, out;
    } cases[] = {
        {"plain", "plain"},
        {"\xe6\xb5\x8b", "\xe6\xb5\x8b"},                         // a whole character
        {"a\xe6\xb5", "a\xef\xbf\xbd"},                           // a cut character at the end
        {"\xe6\xb5x", "\xef\xbf\xbdx"},                           // a cut character before text
        {"\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},                 // overlong
        {"\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}, // a surrogate
        {"\xf4\x90\x80\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}, // past U+10FFFF
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},                                 // U+1F600
        {std::string("a\0b", 3), "a\xef\xbf\xbd"
                                 "b"},
    };
    for (auto& c : cases)
        EXPECT_EQ(platform::repaired_utf8(c.in.data(), c.in.size()), c.out) << c.in;
    EXPECT_EQ(platform::utf8_text("\xef\xbb\xbfx", 4), "x"); // byte-order mark
}
