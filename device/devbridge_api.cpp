#include "device/devbridge_api.h"
#include "platform/dynamic_library.h"
#include "platform/program_folder.h"

namespace
{
template <typename Fn> void look_up(platform::library_handle lib, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(platform::get_proc_address(lib, name));
}
} // namespace

devbridge_api devbridge_api::bind(const juce::File& library)
{
    devbridge_api api;
    auto lib = platform::load_library(library);
    if (lib == nullptr)
    {
        std::printf("devbridge: cannot load %s\n", library.getFullPathName().toRawUTF8());
        return api;
    }
    look_up(lib, "initHIDCtrl", api.initHIDCtrl);
    look_up(lib, "SendUIPara", api.SendUIPara);
    look_up(lib, "getUIPara", api.getUIPara);
    look_up(lib, "getDeviceInfo", api.getDeviceInfo);
    look_up(lib, "getConDeviceInfo", api.getConDeviceInfo);
    look_up(lib, "getUpdateInfo", api.getUpdateInfo);
    look_up(lib, "SendUIParaP12MIC", api.SendUIParaP12MIC);
    look_up(lib, "SendUIParaP12Setting", api.SendUIParaP12Setting);
    look_up(lib, "SetEnv", api.SetEnv);
    return api;
}

const devbridge_api& devbridge_api::process_binding()
{
#if JUCE_WINDOWS
    static const devbridge_api api = bind(platform::program_file("devbridge.dll"));
#else
    static const devbridge_api api = bind(platform::program_file("devbridge.so"));
#endif
    return api;
}
