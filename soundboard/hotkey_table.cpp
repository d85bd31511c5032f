#include "soundboard/hotkey_table.h"
#include "platform/file_replace.h"
#include "platform/program_folder.h"
#include "platform/utf8_text.h"
#include "platform/xml_input.h"

namespace hotkey
{
juce::String pad_label(int code, bool english)
{
    juce::String label;
    if (code & alt) label << "Alt+";
    if (code & ctrl) label << "Ctrl+";
    if (code & shift) label << "Shift+";
    const int key = (int)((unsigned)code >> 16);
    if (key >= 0x61 && key <= 0x69)
        label << (english ? juce::String("Numpad") : juce::String(juce::CharPointer_UTF8("小键盘")))
              << (key - 0x60);
    else
        label << juce::String::charToString((juce::juce_wchar)key);
    return label;
}

juce::String dialog_label(int keyCode, bool ctrlHeld, bool shiftHeld, bool altHeld)
{
    juce::String label;
    if (ctrlHeld) label << "Ctrl+";
    if (shiftHeld) label << "Shift+";
    if (altHeld) label << "ALt+";
    const int digit = keyCode - 0x10060;
    if (digit >= 0 && digit <= 9)
        label << juce::String(juce::CharPointer_UTF8("小键盘")) << digit;
    else
        label << juce::String::charToString((juce::juce_wchar)(keyCode & 0xffff));
    return label;
}

int dialog_code(int keyCode, bool ctrlHeld, bool shiftHeld, bool altHeld)
{
    // 32 bits: the framework's extended-key flag (bit 16) falls off the top.
    return make(keyCode & 0xffff, altHeld, ctrlHeld, shiftHeld);
}

int player_level(int volume)
{
    return volume > 0 ? volume * 4 - 4000 : -10000;
}
} // namespace hotkey

namespace
{
const char* const header = "<?xml version=\"1.0\" encoding=\"UTF - 8\"?><hotkey>";
}

int hotkey_table::first_code_of(const juce::String& name) const
{
    for (juce::HashMap<int, juce::String>::Iterator i(map); i.next();)
        if (i.getValue() == name) return i.getKey();
    return 0;
}

juce::String hotkey_table::file_text() const
{
    juce::MemoryOutputStream text;
    text << header;
    for_each(
        [&](int code, const juce::String& name)
        {
            juce::MemoryBlock bytes(name.toRawUTF8(), name.getNumBytesAsUTF8());
            text << "<item file=\"" << bytes.toBase64Encoding() << "\"  key=\"" << code << "\" />";
        });
    text << "</hotkey>";
    return text.toUTF8();
}

void hotkey_table::add_from_text(const juce::String& text)
{
    const auto root = platform::parse_xml(text);
    if (root == nullptr) return;
    for (auto* item : root->getChildIterator())
    {
        if (item->isTextElement() || item->getNumAttributes() < 2) continue;
        juce::MemoryBlock bytes;
        bytes.fromBase64Encoding(item->getAttributeValue(0));
        const auto code = std::atoi(item->getAttributeValue(1).toRawUTF8());
        map.set(code, platform::utf8_text(bytes.getData(), bytes.getSize()));
    }
}

juce::File hotkey_table::default_file()
{
    return platform::program_file("\\setting\\hotkey.xml");
}

void hotkey_table::load(const juce::File& file)
{
    if (file.existsAsFile()) add_from_text(platform::utf8_file_text(file));
}

bool hotkey_table::save(const juce::File& file) const
{
    if (!file.getParentDirectory().createDirectory()) return false;
    // Replaced, not deleted and rewritten: a crash mid-write keeps every hotkey.
    return platform::replace_file(file, file_text());
}
