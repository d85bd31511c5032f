#pragma once
#include "soundboard/hotkey_table.h"
#include "soundboard/mp3_player.h"
#include <juce_gui_basics/juce_gui_basics.h>

class sound_button;

// The sound board's engine: the grid of pads, one per file of "\sound\", the hotkey table and
// its file, the global keyboard hook that plays a sound for a hotkey, and the MP3 player.
// Everything runs on the message thread; the "hotkeythread" carries no work.
class enum_panel : public juce::Component,
                   public juce::Button::Listener,
                   public juce::Thread,
                   public juce::MessageListener,
                   private juce::Timer
{
  public:
    enum_panel();
    ~enum_panel() override;

    void play_sound(const juce::String& name);
    // Plays the pad's sound named NAME; false when no pad has that name.
    bool play_pad(const juce::String& name);
    void play_file(const juce::String& path);
    void set_volume(int volume);
    void reload_sounds();
    void refresh_pads();
    // 1: table[code] = name; 2: removes code. Then saves the whole file.
    void update_table(int operation, const juce::String& name, int code);
    void start_worker();
    void stop_worker();
    bool enabled = true;

    // The hook procedure's work for one key event, the modifiers as they are now.
    void handle_key(int message, int virtualKey, bool altHeld, bool ctrlHeld, bool shiftHeld);

    void buttonClicked(juce::Button*) override {}
    void handleMessage(const juce::Message& message) override;
    void run() override {}

    // The grid's geometry: the bounds of pad I and the engine's height for COUNT pads.
    static juce::Rectangle<int> pad_bounds(int index);
    static int height_for(int count);
    // The sound name of a file: its name without the extension.
    static juce::String sound_name(const juce::File& file);
    static juce::File sound_folder();
    static juce::File sound_file(const juce::String& name);

    // For tests and the page.
    const hotkey_table& table() const { return hotkeys; }
    mp3_player& player() { return mp3; }
    int volume() const { return volumeLevel; }
    int pad_count() const { return pads.size(); }
    sound_button& pad(int index) { return *pads[index]; }
    bool hook_installed() const { return hook != nullptr; }

    // While the sound board is in use (shown, or hotkeys on with any set) the player keeps its
    // output open, so a sound is heard at once; otherwise it gives the device back when idle.
    bool in_use() const { return isShowing() || (enabled && hotkeys.size() > 0); }
    // Tells the player when that changed; a timer calls it every two seconds.
    void keep_output_while_in_use();

  private:
    void timerCallback() override { keep_output_while_in_use(); }

    bool outputKept = false;
    int volumeLevel = 300;
    hotkey_table hotkeys;
    juce::OwnedArray<sound_button> pads;
    mp3_player mp3;
    void* hook = nullptr;
};
