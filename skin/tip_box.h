#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

namespace skin
{
// The program's prompts: framework-drawn alert windows titled "提示" / "Tip", with native
// alert windows switched off while one is made. The modal one returns when it is closed; the
// other returns at once. Both must be called on the message thread.
void show_tip(juce::MessageBoxIconType icon, const juce::String& text);
void show_tip_async(juce::MessageBoxIconType icon, const juce::String& text);
// A modal question with the buttons "Yes", "No", "Cancel" and the information icon: 1 for
// Yes, 2 for No, 0 for Cancel or closing.
int ask_yes_no_cancel(const juce::String& text);
} // namespace skin
