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
} // namespace platform
