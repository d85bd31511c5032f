#pragma once
#include <juce_core/juce_core.h>

// Hotkey codes: the Windows virtual-key code in bits 16-31, Alt 1, Ctrl 2, Shift 4; 0 = none.
namespace hotkey
{
constexpr int alt = 1, ctrl = 2, shift = 4;
constexpr int make(int virtualKey, bool altHeld, bool ctrlHeld, bool shiftHeld)
{
    return (int)((unsigned)virtualKey << 16) | (altHeld ? alt : 0) | (ctrlHeld ? ctrl : 0) |
           (shiftHeld ? shift : 0);
}
constexpr int keypad(int digit)
{
    return (0x60 + digit) << 16;
}

// The pad's label: "Alt+", "Ctrl+", "Shift+" in that order, then "Numpad%d" / "小键盘%d" for
// keypad 1-9 or the character of the virtual-key number.
juce::String pad_label(int code, bool english);
// The capture dialog's label for a framework key code and modifier flags (Shift 1, Ctrl 2,
// Alt 4): "Ctrl+", "Shift+", "ALt+", then "小键盘%d" for keypad 0-9 or the character, cut to
// 16 bits.
juce::String dialog_label(int keyCode, bool ctrlHeld, bool shiftHeld, bool altHeld);
// The code the dialog captures for the same press.
int dialog_code(int keyCode, bool ctrlHeld, bool shiftHeld, bool altHeld);

// The player's output level for a sound-board volume 0-1000, in hundredths of a decibel.
int player_level(int volume);
} // namespace hotkey

// The hotkey table, code -> sound name, and its file "\setting\hotkey.xml".
class hotkey_table
{
  public:
    hotkey_table() : map(101) {}

    void set(int code, const juce::String& name) { map.set(code, name); }
    void remove(int code) { map.remove(code); }
    void clear() { map.clear(); }
    bool contains(int code) const { return map.contains(code); }
    juce::String name_of(int code) const { return map[code]; }
    int size() const { return map.size(); }
    // The first code in iteration order whose name is NAME, or 0.
    int first_code_of(const juce::String& name) const;

    // The exact file text: header, one element per entry in iteration order, "</hotkey>".
    juce::String file_text() const;
    // Adds every child of the root of TEXT; a later code replaces an earlier one. Text that is
    // not a document adds nothing.
    void add_from_text(const juce::String& text);

    static juce::File default_file();
    // Loads FILE into the table; a missing or broken file adds nothing.
    void load(const juce::File& file = default_file());
    // Replaces FILE atomically with the whole table, creating its folder; false on failure.
    bool save(const juce::File& file = default_file()) const;

    template <typename Visit> void for_each(Visit&& visit) const
    {
        for (juce::HashMap<int, juce::String>::Iterator i(map); i.next();)
            visit(i.getKey(), i.getValue());
    }

  private:
    juce::HashMap<int, juce::String> map;
};
