#pragma once
#include "device/ui_para.h"
#include <juce_core/juce_core.h>

// The record's fields by name, with the values the panel itself ever writes: what a script may
// set and how a status report names them.
namespace ui_para_fields
{
struct field
{
    const char* name;
    bool writable;       // false: the device's own state or a reserved byte
    juce::String values; // what may be written, as "0-8" or "0,6,14"
    bool allows(int value) const;
};

// The 27 fields in byte order.
const field& at(int index);
// The byte of NAME, or -1.
int index_of(const juce::String& name);
} // namespace ui_para_fields
