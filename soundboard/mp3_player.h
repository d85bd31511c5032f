#pragma once
#include "platform/dynamic_library.h"
#include <juce_core/juce_core.h>

// The binding of the MP3 player library: four plain C entry points, each may be missing, and our
// own library's optional fifth.
struct mp3_player
{
    using load_fn = int (*)(const char16_t* path); // zero-terminated UTF-16 full path
    using call_fn = int (*)();
    using volume_fn = int (*)(int hundredthsOfDecibel); // -10000 silent, 0 full

    load_fn Load = nullptr;
    call_fn Play = nullptr;
    call_fn Stop = nullptr;
    volume_fn SetVolume = nullptr;
    using keep_fn = int (*)(int on);
    keep_fn KeepOutputOpen = nullptr; // keeps the audio output open between sounds while on

    // The library beside the executable.
    static juce::File default_file();
    // Fails silently: the entry points then stay null.
    void bind(const juce::File& library = default_file());
    void unbind();
    ~mp3_player() { unbind(); }

    // Stop, Load, SetVolume, Play: each step only when bound. Restarts from the beginning.
    void play(const juce::String& path, int level) const;
    void stop() const
    {
        if (Stop != nullptr) Stop();
    }
    void set_level(int level) const
    {
        if (SetVolume != nullptr) SetVolume(level);
    }
    void keep_open(bool on) const
    {
        if (KeepOutputOpen != nullptr) KeepOutputOpen(on ? 1 : 0);
    }

  private:
    platform::library_handle module = nullptr;
};
