#include "skin/dialog_lookfeel.h"
#include "platform/cjk_font.h"
#include "skin/image_root.h"

namespace skin
{
namespace
{
int widthFlag = 0;
}
int width_flag()
{
    return widthFlag;
}
void set_width_flag(int flag)
{
    widthFlag = flag;
}

juce::Typeface::Ptr cjk_typeface()
{
    // Loaded from its bytes where the system names one; otherwise the system draws the font.
    static juce::Typeface::Ptr typeface = []
    {
        juce::MemoryBlock data;
        if (platform::cjk_font_file().loadFileAsData(data) && data.getSize() > 0)
            return juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
        return juce::Typeface::Ptr();
    }();
    return typeface;
}
} // namespace skin

juce::Typeface::Ptr dialog_lookfeel::getTypefaceForFont(const juce::Font& font)
{
    const auto& name = font.getTypefaceName();
    if (name == juce::Font::getDefaultSansSerifFontName() || name == juce::CharPointer_UTF8("微软雅黑"))
        if (auto cjk = skin::cjk_typeface()) return cjk;
    return LookAndFeel_V3::getTypefaceForFont(font);
}

void dialog_lookfeel::drawDocumentWindowTitleBar(juce::DocumentWindow&, juce::Graphics& g, int, int, int, int,
                                                 const juce::Image*, bool)
{
    g.drawImageAt(skin::image(skin::width_flag() == 1 ? "PANEL\\title.jpg" : "PANEL\\title1.jpg"), 0, 0);
}

juce::Button* dialog_lookfeel::createDocumentWindowButton(int buttonType)
{
    const char* folder = buttonType == juce::DocumentWindow::closeButton      ? "title\\off\\"
                         : buttonType == juce::DocumentWindow::minimiseButton ? "title\\texiao\\"
                         : buttonType == juce::DocumentWindow::maximiseButton ? "title\\update\\"
                                                                              : nullptr;
    if (folder == nullptr) return LookAndFeel_V3::createDocumentWindowButton(buttonType);

    const juce::String f(folder);
    const bool maximise = buttonType == juce::DocumentWindow::maximiseButton;
    auto* button = new juce::ImageButton(); // owned by the window, as the framework expects
    button->setImages(false, false, false, skin::image(f + (maximise ? "4.png" : "1.png")), 1.0f, {},
                      skin::image(f + "3.png"), 1.0f, {}, skin::image(f + "4.png"), 1.0f, {});
    return button;
}

void dialog_lookfeel::positionDocumentWindowButtons(juce::DocumentWindow&, int titleBarX, int titleBarY,
                                                    int titleBarW, int titleBarH,
                                                    juce::Button* minimiseButton,
                                                    juce::Button* maximiseButton, juce::Button* closeButton,
                                                    bool positionTitleBarButtonsOnLeft)
{
    const int w = titleBarH - titleBarH / 8;
    if (positionTitleBarButtonsOnLeft)
    {
        int x = titleBarX + 4;
        if (closeButton != nullptr)
        {
            closeButton->setBounds(x, titleBarY, w, titleBarH);
            x += w;
        }
        if (minimiseButton != nullptr)
        {
            minimiseButton->setBounds(x + w - 94, titleBarY, 94, titleBarH);
            x += 98;
        }
        if (maximiseButton != nullptr) maximiseButton->setBounds(x, titleBarY, w, titleBarH);
        return;
    }
    int x = titleBarX + titleBarW - w - w / 4;
    if (closeButton != nullptr)
    {
        closeButton->setBounds(x, titleBarY, w, titleBarH);
        x -= w + w / 4;
    }
    if (maximiseButton != nullptr)
    {
        maximiseButton->setBounds(x + w - 94, titleBarY, 94, titleBarH);
        x -= 98;
    }
    if (minimiseButton != nullptr) minimiseButton->setBounds(x, titleBarY, w, titleBarH);
}
