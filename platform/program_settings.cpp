#include "platform/program_settings.h"
#include "platform/profile_ini.h"
#include "platform/program_folder.h"

namespace platform
{
juce::File settings_file()
{
    return program_file("\\setting\\set.ini");
}

int read_pset(const juce::String& key, int defaultValue)
{
    return get_private_profile_int("pset", key, defaultValue, settings_file());
}

int read_sset(const juce::String& key, int defaultValue)
{
    return get_private_profile_int("sset", key, defaultValue, settings_file());
}

void write_pset_language_off()
{
    write_private_profile_string("pset", "language", "0", settings_file());
}

void write_sset(const juce::String& key, const juce::String& value)
{
    write_private_profile_string("sset", key, value, settings_file());
}
} // namespace platform
