#include "platform/dynamic_library.h"
#include <windows.h>

namespace platform
{
namespace
{
thread_local uint32_t lastLoadError = 0;
}

library_handle load_library(const juce::File& file)
{
    HMODULE module = LoadLibraryW(file.getFullPathName().toWideCharPointer());
    lastLoadError = module != nullptr ? 0 : (uint32_t)GetLastError();
    return module;
}

uint32_t last_load_error()
{
    return lastLoadError;
}

void* get_proc_address(library_handle library, const char* name)
{
    return library != nullptr ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name))
                              : nullptr;
}

void free_library(library_handle library)
{
    if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}
} // namespace platform
