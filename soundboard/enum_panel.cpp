#include "soundboard/enum_panel.h"
#include "device/my_message.h"
#include "platform/keyboard_hook.h"
#include "platform/program_folder.h"
#include "platform/registry.h"
#include "soundboard/sound_button.h"

namespace
{
// Read by the hook procedure; cleared when the engine goes, so a late key reaches nothing.
enum_panel* theEngine = nullptr;

void hook_procedure(int hookCode, const platform::key_event& event)
{
    if (hookCode < 0 || theEngine == nullptr) return;
    theEngine->handle_key(event.message, event.virtual_key, platform::async_key_down(platform::vk_menu),
                          platform::async_key_down(platform::vk_control),
                          platform::async_key_down(platform::vk_shift));
    // The event always goes on: the hook only watches.
}
} // namespace

enum_panel::enum_panel() : juce::Thread("hotkeythread")
{
    theEngine = this;
    hotkeys.load();
    reload_sounds();
    platform::set_registry_dword("HKEY_CURRENT_USER\\Control Panel\\Desktop\\LowLevelHooksTimeout", 5000);
    hook = platform::set_keyboard_hook(hook_procedure);
    if (hook == nullptr) juce::Logger::outputDebugString("hook fail"); // it adds the line feed
    mp3.bind();
    keep_output_while_in_use();
    startTimer(2000);
}

enum_panel::~enum_panel()
{
    stopTimer();
    if (theEngine == this) theEngine = nullptr;
    platform::unhook_keyboard(hook);
    stop_worker();
    mp3.stop();
    mp3.unbind();
    hotkeys.clear();
}

void enum_panel::keep_output_while_in_use()
{
    if (in_use() == outputKept) return;
    outputKept = !outputKept;
    mp3.keep_open(outputKept);
}

juce::File enum_panel::sound_folder()
{
    return platform::program_file("\\sound\\");
}

juce::File enum_panel::sound_file(const juce::String& name)
{
    return platform::program_file("\\sound\\" + name + ".mp3");
}

juce::String enum_panel::sound_name(const juce::File& file)
{
    // The text before the last full stop of the file name, or all of it.
    const auto fileName = file.getFileName();
    return fileName.containsChar('.') ? fileName.upToLastOccurrenceOf(".", false, false) : fileName;
}

void enum_panel::play_sound(const juce::String& name)
{
    play_file(sound_file(name).getFullPathName());
}

bool enum_panel::play_pad(const juce::String& name)
{
    for (auto* pad : pads)
        if (pad->name == name)
        {
            play_sound(name);
            return true;
        }
    return false;
}

void enum_panel::play_file(const juce::String& path)
{
    mp3.play(path, hotkey::player_level(volumeLevel));
}

void enum_panel::set_volume(int volume)
{
    volumeLevel = volume;
    mp3.set_level(hotkey::player_level(volume));
}

juce::Rectangle<int> enum_panel::pad_bounds(int index)
{
    return {(index % 3) * 107 + 15, (index / 3) * 54 + 20, 92, 34};
}

int enum_panel::height_for(int count)
{
    return ((count + 3) / 3) * 54 + 20;
}

void enum_panel::reload_sounds()
{
    stop_worker();
    removeAllChildren();
    pads.clear();
    const auto files = sound_folder().findChildFiles(juce::File::findFiles, true, "*");
    for (int i = 0; i < files.size(); ++i)
    {
        const auto name = sound_name(files[i]);
        auto* pad = pads.add(std::make_unique<sound_button>(files[i], name, hotkeys.first_code_of(name)));
        pad->setBounds(pad_bounds(i));
        addAndMakeVisible(pad);
    }
    setSize(345, height_for(files.size()));
    start_worker();
}

void enum_panel::refresh_pads()
{
    for (auto* pad : pads)
    {
        pad->code = hotkeys.first_code_of(pad->name);
        pad->relabel();
    }
}

void enum_panel::update_table(int operation, const juce::String& name, int code)
{
    if (operation == 1)
        hotkeys.set(code, name);
    else if (operation == 2)
        hotkeys.remove(code);
    hotkeys.save();
}

void enum_panel::stop_worker()
{
    // The body returns at once, so this never waits; a zero time-out would have the framework
    // kill a thread that is just starting.
    stopThread(1000);
}

void enum_panel::start_worker()
{
    if (enabled) startThread();
}

void enum_panel::handle_key(int message, int virtualKey, bool altHeld, bool ctrlHeld, bool shiftHeld)
{
    // System key-downs (Alt without Ctrl) and key-ups never match.
    if (message != platform::wm_keydown) return;
    const int code = hotkey::make(virtualKey, altHeld, ctrlHeld, shiftHeld);
    if (enabled && hotkeys.contains(code)) play_sound(hotkeys.name_of(code));
}

void enum_panel::handleMessage(const juce::Message& message)
{
    const auto* m = dynamic_cast<const my_message*>(&message);
    if (m == nullptr) return;
    if (m->command == "play")
        play_sound(m->argument);
    else if (m->command == "stop sound thread")
        stop_worker();
    else if (m->command == "start sound thread")
        start_worker();
    else if (m->command == "refresh buttons")
        refresh_pads();
    else if (m->command == "reload all sounds")
        reload_sounds();
    else if (m->command == "play_path")
        play_file(m->argument);
    else if (m->command == "stop_play")
        mp3.stop();
}
