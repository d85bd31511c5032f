#include "recorder/shared_audio_device.h"
#include "device/connected_model.h"
#include <cstdlib>

namespace
{
std::unique_ptr<juce::AudioDeviceManager>& manager()
{
    static std::unique_ptr<juce::AudioDeviceManager> m;
    return m;
}

juce::String device_type(juce::AudioDeviceManager& m)
{
#if JUCE_WINDOWS
    juce::ignoreUnused(m);
    return "DirectSound";
#else
    // Looking for a running JACK server must not start one (it would take the sound card and
    // hold up the program's start).
    setenv("JACK_NO_START_SERVER", "1", 0);
    // The types are scanned here; setting a type before that does nothing.
    for (auto* type : m.getAvailableDeviceTypes())
        if (type->getTypeName() == "JACK")
        {
            type->scanForDevices();
            if (!type->getDeviceNames(true).isEmpty()) return "JACK"; // a server runs
        }
    return "ALSA";
#endif
}

void open(juce::AudioDeviceManager& m)
{
    m.initialise(2, 2, nullptr, true, "*" + connected_model() + "*", nullptr);
}
} // namespace

juce::AudioDeviceManager& shared_audio_device()
{
    auto& m = manager();
    if (m == nullptr)
    {
        m = std::make_unique<juce::AudioDeviceManager>();
        m->setCurrentAudioDeviceType(device_type(*m), true);
        open(*m);
    }
    return *m;
}

void reopen_shared_audio_device()
{
    auto& m = shared_audio_device();
    m.closeAudioDevice();
    open(m);
}

void close_shared_audio_device()
{
    if (manager() != nullptr) manager()->closeAudioDevice();
}

void release_shared_audio_device()
{
    manager().reset();
}
