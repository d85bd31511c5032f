#include "device/devbridge_api.h"
#include "platform/dynamic_library.h"
#include "platform/program_folder.h"
#include "platform/ui_language.h"

namespace
{
template <typename Fn> void look_up(platform::library_handle lib, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(platform::get_proc_address(lib, name));
}
} // namespace

juce::String devbridge_api::width_message(int libraryBits, int panelBits)
{
    const juce::String lib(libraryBits), panel(panelBits);
    if (libraryBits == 0) // not a library of either width we know
        return platform::tr(
            "设备库 devbridge.dll 无法加载：它不是本控制面板能使用的库。",
            "The device library devbridge.dll cannot be loaded: it is not a library this control "
            "panel can use.");
    return platform::ui_is_english()
               ? "The device library devbridge.dll is " + lib + "-bit, but this control panel is " + panel +
                     "-bit. Please install the " + lib + "-bit control panel."
               : juce::String(juce::CharPointer_UTF8("设备库 devbridge.dll 是 ")) + lib +
                     juce::String(juce::CharPointer_UTF8(" 位的，而本控制面板是 ")) + panel +
                     juce::String(juce::CharPointer_UTF8(" 位的。请安装 ")) + lib +
                     juce::String(juce::CharPointer_UTF8(" 位的控制面板。"));
}

devbridge_api devbridge_api::bind(const juce::File& library)
{
    devbridge_api api;
    auto lib = platform::load_library(library);
    if (lib == nullptr)
    {
        std::printf("devbridge: cannot load %s\n", library.getFullPathName().toRawUTF8());
        if (platform::last_load_error() == platform::error_bad_exe_format)
            api.width_problem = width_message(platform::library_bits(library), platform::process_bits());
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
