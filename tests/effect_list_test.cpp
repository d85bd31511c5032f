#include "presets/list_file.h"
#include "tests/preset_fixtures.h"
#include <gtest/gtest.h>

namespace
{
using namespace preset_fixtures;

juce::String read_numbered(const juce::String& xml, effect_preset& p)
{
    auto e = juce::XmlDocument::parse(xml);
    return read_para_category(e.get(), p);
}

const juce::String cn = online_suffix(false), en = online_suffix(true);

struct temp_folder
{
    juce::TemporaryFile dir;
    temp_folder() { dir.getFile().createDirectory(); }
    ~temp_folder() { dir.getFile().deleteRecursively(); }
    juce::File file(const char* name) const { return dir.getFile().getChildFile(name); }
};
} // namespace

TEST(preset_readers, both_forms_fill_the_record)
{
    for (bool numbered : {true, false})
    {
        effect_preset p;
        auto e = juce::XmlDocument::parse(category("Hall", valid_items(67, numbered)));
        const auto name = numbered ? read_para_category(e.get(), p) : read_named_category(e.get(), p, false);
        EXPECT_EQ(name, "Hall" + (numbered ? import_suffix() : cn));
        for (auto& [n, v] : valid_items(67, numbered))
        {
            const int para = numbered ? para_of_number_name(n) : para_of_key(n);
            EXPECT_EQ(p.get(para), v.getIntValue()) << n;
        }
        EXPECT_FALSE(p.mic_only());
    }
    effect_preset mic;
    auto e = juce::XmlDocument::parse(category("Mic", valid_items(17, false)));
    EXPECT_EQ(read_named_category(e.get(), mic, true), "Mic_ONLINE");
    EXPECT_TRUE(mic.mic_only());
    // little-endian: para 7 (eqFreq) at bytes 8-9
    mic.set(7, 20000);
    EXPECT_EQ(mic.bytes[8], 0x20);
    EXPECT_EQ(mic.bytes[9], 0x4e);
    mic.set(6, -150);
    EXPECT_EQ(mic.get(6), -150);
}

TEST(preset_readers, range_edges)
{
    struct
    {
        int para;
        const char* value;
        bool accepted;
    } cases[] = {
        {33, "-48", true},   {33, "0", true},     {33, "-49", false},
        {33, "1", false},    {1, "-127", true},   {1, "127", true},
        {1, "-128", false},  {1, "128", false},   {4, "4", true},
        {4, "6", true},      {4, "3", false},     {4, "7", false},
        {5, "1", true},      {5, "12800", true},  {5, "0", false},
        {5, "12801", false}, {7, "20", true},     {7, "0", false},
        {7, "19", false},    {7, "20001", false}, {36, "0", false},
        {57, "19", false},   {34, "4", true},     {34, "3", false},
        {7, "25Hz", true},   {2, "", true},       {7, "", false},
        {2, "  +7", true},   {2, "x5", true},     {1, "99999999999999", false},
    };
    for (auto& c : cases)
    {
        auto items = valid_items(67);
        items[(size_t)c.para - 1].second = c.value;
        effect_preset p;
        const auto name = read_numbered(category("P", items), p);
        EXPECT_EQ(name.isNotEmpty(), c.accepted) << "para" << c.para << "=\"" << c.value << "\"";
        if (c.accepted)
        {
            EXPECT_EQ(p.get(c.para), juce::String(c.value).trim().getIntValue()) << c.para;
        }
    }
}

TEST(preset_readers, structure)
{
    auto with = [](auto edit)
    {
        auto items = valid_items(67);
        edit(items);
        return items;
    };
    struct
    {
        const char* what;
        juce::String xml;
        bool accepted;
    } cases[] = {
        {"66 items", category("P", valid_items(66)), false},
        {"68 items",
         category("P", with(
                           [](auto& i) {
                               i.push_back({"para1", "0"});
                           })),
         false},
        {"unknown name", category("P", with([](auto& i) { i[66].first = "para68"; })), false},
        {"leading zero", category("P", with([](auto& i) { i[8].first = "para09"; })), false},
        {"other case", category("P", with([](auto& i) { i[8].first = "Para9"; })), false},
        {"repeated name", category("P", with([](auto& i) { i[66].first = "para66"; })), false},
        {"no attribute", category("P", with([](auto& i) { i[66].first = ""; })), false},
        {"17 of 67 keys", category("P", valid_items(17)), true},
        {"17 with a reverb key",
         category("P", with(
                           [](auto& i)
                           {
                               i.resize(17);
                               i[16] = {"para18", "1"};
                           })),
         false},
        {"tag in capitals", category("P", valid_items(67), "CATEGORY"), true},
        {"other tag", category("P", valid_items(67), "preset"), false},
        {"first attribute by any name",
         juce::String("<category title=\"P\">") +
             category("", valid_items(67)).fromFirstOccurrenceOf(">", false, false),
         true},
    };
    for (auto& c : cases)
    {
        effect_preset p;
        EXPECT_EQ(read_numbered(c.xml, p).isNotEmpty(), c.accepted) << c.what;
    }
    effect_preset p;
    EXPECT_EQ(read_para_category(nullptr, p), "");
}

TEST(list_file, written_bytes)
{
    preset_list list;
    effect_preset mic;
    mic.set(1, -5);
    mic.set(7, 1000);
    list.append("a&b\"c<d>" + cn, mic);
    const auto text = list_file_text(list);
    juce::String expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<effect_vk2max_list>\r\n"
                            "<category description=\"a&amp;b&quot;c&lt;d&gt;" +
                            cn + "\">\r\n";
    for (int para = 1; para <= 17; ++para)
        expected << "<item para" << para << "=\""
                 << (para == 1   ? "-5"
                     : para == 7 ? "1000"
                                 : "0")
                 << "\"/>\r\n";
    expected << "</category>\r\n</effect_vk2max_list>\r\n";
    EXPECT_EQ(text, expected);

    // A reverb-only record writes 46 lines, an echo-only one 17 + 21, both 67.
    struct
    {
        int para;
        int lines;
    } blocks[] = {{36, 17 + 29}, {57, 17 + 21}};
    for (auto& b : blocks)
    {
        preset_list one;
        effect_preset p;
        p.set(b.para, 20);
        one.append("x", p);
        EXPECT_EQ(list_file_text(one).length() - list_file_text(one).replace("<item ", "<item").length(),
                  b.lines);
    }
}

TEST(list_file, round_trip_through_the_file)
{
    temp_folder tmp;
    const auto file = tmp.file("list_new.xml");
    preset_list list;
    effect_preset full, mic;
    auto e = juce::XmlDocument::parse(category("x", valid_items(67)));
    read_para_category(e.get(), full);
    e = juce::XmlDocument::parse(category("x", valid_items(17)));
    read_para_category(e.get(), mic);
    list.append("Tom & \"Jerry\" <1>" + cn, full);
    list.append(juce::String(juce::CharPointer_UTF8("\xe6\xb5\x8b\xe8\xaf\x95")) + cn, mic);
    ASSERT_TRUE(write_list_file(list, file));

    preset_list back;
    EXPECT_EQ(load_list_file(back, file, false), 2);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(back.name(i), list.name(i));
        EXPECT_TRUE(back.record(i) == list.record(i));
    }
    // Written again, the same bytes; no temporary file is left beside it.
    ASSERT_TRUE(write_list_file(back, file));
    EXPECT_EQ(file.loadFileAsString(), list_file_text(list));
    EXPECT_EQ(tmp.dir.getFile().getNumberOfChildFiles(juce::File::findFiles), 1);
}

TEST(list_file, loading_keeps_the_current_language_and_good_presets)
{
    const auto good = [](const juce::String& name) { return category(name, valid_items(67)); };
    const auto text = document(good("a" + cn) + category("bad" + cn, valid_items(66)) + good("b" + en) +
                               category("c" + cn, valid_items(17)) + "<other/>");
    preset_list list;
    EXPECT_EQ(load_list_text(list, text, false), 2);
    EXPECT_EQ(list.name(0), "a" + cn);
    EXPECT_EQ(list.name(1), "c" + cn);
    EXPECT_TRUE(list.record(1).mic_only());
    EXPECT_EQ(load_list_text(list, text, true), 1);
    EXPECT_EQ(list.name(0), "b" + en);

    // Nothing usable: the list stays as it was.
    for (auto bad :
         {juce::String("<effect_vk2max_list/>"), juce::String("<other>" + good("z" + en) + "</other>"),
          juce::String("not xml"), juce::String()})
    {
        EXPECT_EQ(load_list_text(list, bad, true), 0);
        EXPECT_EQ(list.count(), 1) << bad;
    }
    EXPECT_EQ(load_list_file(list, juce::File("/nonexistent/list_new.xml"), true), 0);
    EXPECT_EQ(list.count(), 1);
    // A root in other letters is accepted.
    EXPECT_EQ(load_list_text(list, "<EFFECT_VK2MAX_LIST>" + good("d" + en) + "</EFFECT_VK2MAX_LIST>", true),
              1);
}

TEST(list_file, at_most_2048_presets)
{
    juce::String many;
    const auto one = category("p" + cn, valid_items(17));
    for (int i = 0; i < 2100; ++i)
        many << one;
    preset_list list;
    EXPECT_EQ(load_list_text(list, document(many), false), 2048);
    list.append("extra", effect_preset{});
    EXPECT_EQ(list.count(), 2048);
    const auto text = list_file_text(list);
    EXPECT_EQ(text.length() - text.replace("<category ", "<category").length(), 2048);
}

TEST(list_file, an_empty_list_writes_nothing)
{
    temp_folder tmp;
    const auto file = tmp.file("list_new.xml");
    file.replaceWithText("old");
    preset_list empty;
    EXPECT_FALSE(write_list_file(empty, file));
    EXPECT_EQ(file.loadFileAsString(), "old");
    // A folder that is not there: nothing written, nothing thrown.
    preset_list one;
    one.append("x", effect_preset{});
    EXPECT_FALSE(write_list_file(one, tmp.file("missing").getChildFile("list_new.xml")));
}

TEST(online_list, reading_a_document)
{
    preset_list list;
    list.append("kept" + cn, effect_preset{});
    // Another root or an empty one: untouched.
    for (auto bad : {"<html><body/></html>", "<effect_vk2max_list/>"})
    {
        auto root = juce::XmlDocument::parse(bad);
        EXPECT_FALSE(read_online_list(*root, list, false));
        EXPECT_EQ(list.count(), 1);
    }
    // Every preset invalid: the list is emptied.
    auto root = juce::XmlDocument::parse(document(category("x", valid_items(17, true))));
    EXPECT_TRUE(read_online_list(*root, list, false));
    EXPECT_EQ(list.count(), 0);
    // 3000 valid presets: the first 2048, with the language's suffix.
    juce::String many;
    for (int i = 0; i < 3000; ++i)
        many << category("n" + juce::String(i), valid_items(17, false));
    root = juce::XmlDocument::parse(document(many));
    EXPECT_TRUE(read_online_list(*root, list, true));
    EXPECT_EQ(list.count(), 2048);
    EXPECT_EQ(list.name(2047), "n2047_ONLINE");
}

TEST(list_file, unreadable_files_leave_the_list)
{
    temp_folder tmp;
    preset_list list;
    list.append("kept" + cn, effect_preset{});
    const std::string cases[] = {
        "<!DOCTYPE a [<!ENTITY a \"&a;&a;\">]><effect_vk2max_list>&a;</effect_vk2max_list>",
        "<?xml version=\"1.0\"?><effect_vk2max_list>\n<?pi?>\nx</effect_vk2max_list>",
    };
    for (auto& text : cases)
    {
        tmp.file("list.xml").replaceWithData(text.data(), text.size());
        EXPECT_EQ(load_list_file(list, tmp.file("list.xml"), false), 0);
        EXPECT_EQ(list.count(), 1);
    }
}
