#include "platform/file_replace.h"

namespace platform
{
bool replace_file(const juce::File& file, const juce::String& text)
{
    juce::TemporaryFile temp(file);
    {
        juce::FileOutputStream out(temp.getFile());
        if (!out.openedOk()) return false;
        out.write(text.toRawUTF8(), text.getNumBytesAsUTF8());
        out.flush();
        if (out.getStatus().failed()) return false;
    }
    return temp.overwriteTargetFileWithTemporary();
}
} // namespace platform
