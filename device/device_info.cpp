#include "device/device_info.h"
#include "platform/code_page.h"
#include <cstring>

juce::String device_info_text(const uint8_t* block, device_info_field field)
{
    if (block == nullptr) return {};
    const auto* start = reinterpret_cast<const char*>(block) + (int)field * device_info_field_bytes;
    return platform::code_page_text(start, strnlen(start, device_info_field_bytes));
}
