#include "platform/program_arguments.h"
#include "platform/utf8_text.h"
#include <cstring>

namespace platform
{
juce::StringArray program_arguments(int argc, const char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add(utf8_text(argv[i], std::strlen(argv[i]))); // malformed bytes become U+FFFD
    return args;
}
} // namespace platform
