#include "platform/program_folder.h"

namespace platform
{
juce::File program_folder()
{
    return juce::File::getSpecialLocation(juce::File::currentExecutableFile).getParentDirectory();
}

juce::File program_file(const juce::String& subPath)
{
    auto relative = subPath.replaceCharacter('\\', '/').trimCharactersAtStart("/");
    return program_folder().getChildFile(relative);
}
} // namespace platform
