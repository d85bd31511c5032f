#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// A font file with Chinese glyphs that the framework must load from its bytes (it does not scan
// .ttc collections on Linux); none where the system draws "微软雅黑" itself (Windows, through its
// own font or font linking).
juce::File cjk_font_file();
} // namespace platform
