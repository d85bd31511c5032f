#include "skin/image_root.h"
#include "platform/program_folder.h"
#include "platform/ui_language.h"

namespace skin
{
juce::File image_root()
{
    return platform::program_folder().getChildFile("ui/" + platform::language_folder());
}

juce::Image image(const juce::String& subPath)
{
    return juce::ImageCache::getFromFile(image_root().getChildFile(subPath.replaceCharacter('\\', '/')));
}
} // namespace skin
