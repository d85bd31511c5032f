#include "platform/cjk_font.h"

namespace platform
{
juce::File cjk_font_file()
{
    for (auto* path :
         {"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", "/usr/share/fonts/wqy-zenhei/wqy-zenhei.ttc"})
        if (juce::File(path).existsAsFile()) return juce::File(path);
    return {};
}
} // namespace platform
