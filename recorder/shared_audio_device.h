#pragma once
#include <juce_audio_devices/juce_audio_devices.h>

// The one audio device manager of the process, made on first use: "DirectSound" on Windows;
// here "JACK" when a JACK server runs and "ALSA" otherwise; 2 inputs and 2 outputs, the
// device whose name holds the connected model preferred.
juce::AudioDeviceManager& shared_audio_device();
void reopen_shared_audio_device();
void close_shared_audio_device();
// Gives the manager up (its last user is going); the next use makes a new one.
void release_shared_audio_device();
