#pragma once
#include <cstdint>
#include <juce_core/juce_core.h>

// The five 50-byte text fields of a device information block (250 bytes), in their order.
enum class device_info_field
{
    name = 0,
    model = 1,
    firmware = 2,
    hardware = 3,
    serial = 4
};
constexpr int device_info_field_bytes = 50;

// The field's text: at most 50 bytes (not characters) up to the first zero byte, in the system
// code page. Empty for a null block.
juce::String device_info_text(const uint8_t* block, device_info_field field);
