#include "presets/list_file.h"
#include "platform/file_replace.h"
#include "platform/program_folder.h"
#include "platform/ui_language.h"
#include "platform/utf8_text.h"
#include "platform/xml_input.h"

namespace
{
juce::String attribute_text(const juce::String& name)
{
    // Only text our own reader takes back: a name is never the reason the file is refused.
    return platform::valid_text(name)
        .replace("&", "&amp;")
        .replace("<", "&lt;")
        .replace(">", "&gt;")
        .replace("\"", "&quot;");
}

void append_items(juce::MemoryOutputStream& text, const effect_preset& p, int first, int last)
{
    for (int para = first; para <= last; ++para)
        text << "<item para" << para << "=\"" << p.get(para) << "\"/>\r\n";
}
} // namespace

juce::File list_file_path()
{
    return platform::program_file("\\setting\\list_new.xml");
}

juce::String list_file_text(const preset_list& list)
{
    // A stream, not a String: appending to a String measures it each time, which is quadratic
    // for a 3 MB file.
    juce::MemoryOutputStream text((size_t)list.count() * 1600 + 100);
    text << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<effect_vk2max_list>\r\n";
    const int n = juce::jmin(list.count(), preset_list::capacity);
    for (int i = 0; i < n; ++i)
    {
        const auto& p = list.record(i);
        text << "<category description=\"" << attribute_text(list.name(i)) << "\">\r\n";
        append_items(text, p, 1, 17);
        if (!p.reverb_zero()) append_items(text, p, 18, 46);
        if (!p.echo_zero()) append_items(text, p, 47, 67);
        text << "</category>\r\n";
    }
    text << "</effect_vk2max_list>\r\n";
    return text.toUTF8();
}

bool write_list_file(const preset_list& list, const juce::File& file)
{
    if (list.count() == 0) return false;
    return platform::replace_file(file, list_file_text(list));
}

int load_list_text(preset_list& list, const juce::String& text, bool english)
{
    const auto root = platform::parse_xml(text);
    if (root == nullptr || !is_list_root(*root)) return 0;
    list.clear();
    const auto imported = import_suffix();
    const auto suffix = online_suffix(english);
    for (auto* child : root->getChildIterator())
    {
        if (list.full()) break;
        effect_preset scratch;
        auto name = read_para_category(child, scratch);
        if (!name.contains(imported)) continue;
        name = name.dropLastCharacters(imported.length());
        if (name.contains(suffix)) list.append(name, scratch);
    }
    return list.count();
}

int load_list_file(preset_list& list, const juce::File& file, bool english)
{
    if (!file.existsAsFile()) return 0;
    return load_list_text(list, platform::utf8_file_text(file), english);
}

int load_list_file(preset_list& list)
{
    return load_list_file(list, list_file_path(), platform::ui_is_english());
}
