#include "platform/system_language.h"
#include <windows.h>

namespace platform
{
int system_default_lang_id()
{
    return (int)GetSystemDefaultLangID();
}

int lang_id_of_locale(const juce::String& locale)
{
    // "zh_CN.UTF-8" → "zh-CN", a name Windows knows.
    const auto name = locale.upToFirstOccurrenceOf(".", false, false).replaceCharacter('_', '-');
    // An empty name is the invariant locale to Windows: no language either.
    const LCID id = name.isEmpty() ? 0 : LocaleNameToLCID(name.toWideCharPointer(), 0);
    return id != 0 && id != LOCALE_INVARIANT ? (int)LANGIDFROMLCID(id) : 0x0409;
}
} // namespace platform
