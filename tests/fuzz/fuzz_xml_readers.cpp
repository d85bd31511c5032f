// The three readers of untrusted XML on the same bytes: the list file, the online list and the
// hotkey file.
#include "platform/utf8_text.h"
#include "platform/xml_input.h"
#include "presets/https_client.h"
#include "presets/list_file.h"
#include "soundboard/hotkey_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes((const char*)data, size);
    const auto text = platform::utf8_text(data, size);
    preset_list list;
    load_list_text(list, text, false);
    if (auto root = xml_of_body(bytes)) read_online_list(*root, list, true);
    hotkey_table keys;
    keys.add_from_text(text);
    return 0;
}
