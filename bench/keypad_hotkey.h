#pragma once
// Keypad 1 (Num Lock on: VK_NUMPAD1) as the hotkey of SOUND in the program folder's hotkey file,
// pressed with XTest on the display; the file goes with the object.
#include "platform/program_folder.h"
#include "soundboard/hotkey_table.h"
#include <juce_gui_basics/juce_gui_basics.h>

// After the framework: the X11 macros clash with its names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

struct keypad_hotkey
{
    Display* display;
    KeyCode key;
    juce::File file = platform::program_file("\\setting\\hotkey.xml");

    keypad_hotkey(Display* d, const juce::String& sound) : display(d)
    {
        const unsigned numLock = XkbKeysymToModifiers(d, XK_Num_Lock);
        XkbLockModifiers(d, XkbUseCoreKbd, numLock, numLock);
        key = XKeysymToKeycode(d, XK_KP_1);
        hotkey_table table;
        table.set(0x00610000, sound);
        file.getParentDirectory().createDirectory();
        table.save(file);
    }
    ~keypad_hotkey() { file.deleteFile(); }
    void press(bool down) const
    {
        XTestFakeKeyEvent(display, key, down ? True : False, CurrentTime);
        XFlush(display);
    }
};
