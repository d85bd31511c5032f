// The list file's reader on any category element.
#include "platform/utf8_text.h"
#include "platform/xml_input.h"
#include "presets/effect_preset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto root = platform::parse_xml(platform::utf8_text(data, size));
    effect_preset record;
    read_para_category(root.get(), record);
    return 0;
}
