#pragma once
#include <juce_core/juce_core.h>

namespace platform
{
// GetSystemDefaultLangID: 0x0804 Chinese (PRC), 0x0404 Chinese (Taiwan), 0x0409 English (US)...
// Here from the locale environment (LC_ALL, then LC_MESSAGES, then LANG); C and POSIX are
// English (US).
int system_default_lang_id();
// The identifier of a locale name such as "zh_CN.UTF-8".
int lang_id_of_locale(const juce::String& locale);
} // namespace platform
