#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// The program's default look: draws every document window's title bar from images, and takes
// its typeface from a CJK font so Chinese and Latin both render.
class dialog_lookfeel : public juce::LookAndFeel_V3
{
  public:
    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;

    void drawDocumentWindowTitleBar(juce::DocumentWindow&, juce::Graphics&, int w, int h, int titleSpaceX,
                                    int titleSpaceW, const juce::Image* icon,
                                    bool drawTitleTextOnLeft) override;
    juce::Button* createDocumentWindowButton(int buttonType) override;
    void positionDocumentWindowButtons(juce::DocumentWindow&, int titleBarX, int titleBarY, int titleBarW,
                                       int titleBarH, juce::Button* minimiseButton,
                                       juce::Button* maximiseButton, juce::Button* closeButton,
                                       bool positionTitleBarButtonsOnLeft) override;
};

namespace skin
{
// The CJK typeface found on this system (WenQuanYi Zen Hei), or null.
juce::Typeface::Ptr cjk_typeface();
// The main window's width state, 0 narrow (1008) or 1 wide (1390); picks the title-bar image.
int width_flag();
void set_width_flag(int flag);
} // namespace skin
