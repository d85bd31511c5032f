#include "soundboard/mp3_player.h"
#include "platform/program_folder.h"

juce::File mp3_player::default_file()
{
#if JUCE_WINDOWS
    return platform::program_folder().getChildFile("libmp3.dll");
#else
    return platform::program_folder().getChildFile("libmp3.so");
#endif
}

void mp3_player::bind(const juce::File& library)
{
    unbind();
    module = platform::load_library(library);
    if (module == nullptr) return;
    Load = reinterpret_cast<load_fn>(platform::get_proc_address(module, "Load"));
    Play = reinterpret_cast<call_fn>(platform::get_proc_address(module, "Play"));
    Stop = reinterpret_cast<call_fn>(platform::get_proc_address(module, "Stop"));
    SetVolume = reinterpret_cast<volume_fn>(platform::get_proc_address(module, "SetVolume"));
    KeepOutputOpen = reinterpret_cast<keep_fn>(platform::get_proc_address(module, "KeepOutputOpen"));
}

void mp3_player::unbind()
{
    if (module != nullptr) platform::free_library(module);
    module = nullptr;
    Load = nullptr;
    Play = Stop = nullptr;
    SetVolume = nullptr;
    KeepOutputOpen = nullptr;
}

void mp3_player::play(const juce::String& path, int level) const
{
    stop();
    if (Load != nullptr)
    {
        const auto utf16 = path.toUTF16();
        Load(reinterpret_cast<const char16_t*>(utf16.getAddress()));
    }
    set_level(level);
    if (Play != nullptr) Play();
}
