#pragma once
#include <juce_core/juce_core.h>

// LoadLibraryW / GetProcAddress / FreeLibrary by name. A library that is never freed stays
// loaded for the life of the process.
namespace platform
{
using library_handle = void*;
library_handle load_library(const juce::File& file); // nullptr when it does not load
void* get_proc_address(library_handle library, const char* name);
void free_library(library_handle library);
// GetLastError after load_library: 0 when it loaded, ERROR_MOD_NOT_FOUND (126) otherwise.
uint32_t last_load_error();
// What LoadLibraryW gives for a library of the other width (a 32-bit one in a 64-bit process).
constexpr uint32_t error_bad_exe_format = 193;

// The width of a Windows library from its PE header's machine field: 32, 64, or 0 when the
// file is no PE image (read as bytes, so it works for a library the process cannot load).
int library_bits(const juce::File& file);
// This process's width.
constexpr int process_bits()
{
    return (int)sizeof(void*) * 8;
}
} // namespace platform
