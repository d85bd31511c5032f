#include "skin/dialog_lookfeel.h"

namespace skin
{
juce::Typeface::Ptr cjk_typeface()
{
    // The framework does not scan .ttc collections, so the font is loaded from its bytes.
    static juce::Typeface::Ptr typeface = []
    {
        for (auto* path :
             {"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", "/usr/share/fonts/wqy-zenhei/wqy-zenhei.ttc"})
        {
            juce::MemoryBlock data;
            if (juce::File(path).loadFileAsData(data) && data.getSize() > 0)
                return juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
        }
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
