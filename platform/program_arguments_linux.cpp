#include "platform/program_arguments.h"

namespace platform
{
juce::StringArray program_arguments(int argc, const char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add(juce::String::fromUTF8(argv[i]));
    return args;
}
} // namespace platform
