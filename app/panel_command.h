#pragma once
#include <juce_core/juce_core.h>
#include <utility>
#include <vector>

// Exit statuses of a start with arguments.
namespace exit_status
{
constexpr int ok = 0, failed = 1, bad_request = 2, no_panel = 3, no_device = 4;
}

// A start's arguments, read the same way by the starting copy (to answer mistakes at once) and by
// the running copy (which trusts nothing it is sent).
struct panel_command
{
    enum kind
    {
        show, // no arguments: show the running copy's window
        status,
        set,
        mode,
        mute,
        preset,
        play,
        stop_sounds,
        help,
        version,
        invalid
    };
    kind what = show;
    bool json = false;                     // status
    std::vector<std::pair<int, int>> sets; // set: byte and value, in the order given
    int number = 0;                        // mode; mute channel 1-4; preset entry (1-based, 0 by name)
    juce::String text;                     // mute "on", "off" or "toggle"; preset or sound name
    juce::String error;                    // invalid: the line for standard error

    static panel_command parse(const juce::StringArray& args);
    // Needs a connected device (else exit status 4).
    bool needs_device() const { return what == set || what == mode || what == mute || what == preset; }
};

juce::String usage_text();
