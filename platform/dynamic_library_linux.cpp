#include "platform/dynamic_library.h"
#include <dlfcn.h>

namespace platform
{
namespace
{
thread_local uint32_t lastLoadError = 0;
}

library_handle load_library(const juce::File& file)
{
    auto* handle = dlopen(file.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_LOCAL);
    lastLoadError = handle != nullptr ? 0 : 126;
    return handle;
}

uint32_t last_load_error()
{
    return lastLoadError;
}

void* get_proc_address(library_handle library, const char* name)
{
    return library != nullptr ? dlsym(library, name) : nullptr;
}

void free_library(library_handle library)
{
    if (library != nullptr) dlclose(library);
}
} // namespace platform
