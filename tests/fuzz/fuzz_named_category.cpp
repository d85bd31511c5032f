// The online list's readers on any document: the category reader and the whole-list reader.
#include "platform/utf8_text.h"
#include "platform/xml_input.h"
#include "presets/effect_preset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto root = platform::parse_xml(platform::utf8_text(data, size));
    effect_preset record;
    read_named_category(root.get(), record, size % 2 == 0);
    if (root != nullptr)
    {
        static preset_list list; // one block of 2048 records, as the page holds it
        read_online_list(*root, list, size % 2 == 0);
    }
    return 0;
}
