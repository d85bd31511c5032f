#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// The program's default look: the framework's V3 look with the program's typeface.
class dialog_lookfeel : public juce::LookAndFeel_V3
{
  public:
    // "微软雅黑" and the default sans come from a CJK typeface, so Chinese and Latin both render.
    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;
};

namespace skin
{
// The CJK typeface found on this system (WenQuanYi Zen Hei), or null.
juce::Typeface::Ptr cjk_typeface();
} // namespace skin
