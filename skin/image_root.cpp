#include "skin/image_root.h"
#include "platform/program_folder.h"
#include "platform/ui_language.h"

namespace skin
{
namespace
{
juce::CriticalSection missingLock;
juce::StringArray missing;
} // namespace

juce::File image_root()
{
    return platform::program_folder().getChildFile("ui/" + platform::language_folder());
}

juce::Image image(const juce::String& subPath)
{
    const auto file = image_root().getChildFile(subPath.replaceCharacter('\\', '/'));
    auto result = juce::ImageCache::getFromFile(file);
    if (result.isNull())
    {
        const juce::ScopedLock lock(missingLock);
        missing.addIfNotAlreadyThere(platform::language_folder() + subPath);
    }
    return result;
}

juce::StringArray missing_images()
{
    const juce::ScopedLock lock(missingLock);
    return missing;
}
} // namespace skin
