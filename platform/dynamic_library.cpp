#include "platform/dynamic_library.h"
#include <dlfcn.h>

namespace platform
{
library_handle load_library(const juce::File& file)
{
    return dlopen(file.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_LOCAL);
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
