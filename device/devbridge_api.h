#pragma once
#include <cstdint>
#include <juce_core/juce_core.h>

// Entry points of the device control library, looked up by name. A null pointer means the
// library or the entry point is missing; every call site skips its call then.
using hid_event_callback = void (*)(int);

struct devbridge_api
{
    int (*initHIDCtrl)(hid_event_callback) = nullptr;
    int (*SendUIPara)(unsigned char*) = nullptr;
    int (*getUIPara)(unsigned char*) = nullptr;
    int (*getDeviceInfo)(unsigned char*) = nullptr;
    int (*getConDeviceInfo)(unsigned char*) = nullptr;
    int (*getUpdateInfo)(int*, unsigned char*, unsigned char*, unsigned char*) = nullptr;
    int (*SendUIParaP12MIC)(unsigned char*) = nullptr;
    int (*SendUIParaP12Setting)(unsigned char*) = nullptr;
    int (*SetEnv)(int, int) = nullptr;

    // Set when the library is there but of the other width: the message for the user, who
    // otherwise could not tell why the device never shows.
    juce::String width_problem;

    // Loads the library (never unloaded) and looks up every entry point.
    static devbridge_api bind(const juce::File& library);
    // The binding of program folder + "devbridge.dll" ("devbridge.so" on Linux), made once for
    // the process.
    static const devbridge_api& process_binding();
    // The text of width_problem for a library of LIBRARYBITS (0: unknown) in a PANELBITS panel.
    static juce::String width_message(int libraryBits, int panelBits);
};
