#pragma once
#include <juce_graphics/juce_graphics.h>

namespace skin
{
// Program folder + "ui/" + language folder; built anew on every call.
juce::File image_root();
// A skin image by its sub path ("PANEL\\hd.jpg"); a missing file gives a null image.
juce::Image image(const juce::String& subPath);
// Sub paths asked for that had no file, for the skin completeness check.
juce::StringArray missing_images();
} // namespace skin
