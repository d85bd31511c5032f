#include "platform/system_language.h"
#include <cstdlib>

namespace platform
{
int lang_id_of_locale(const juce::String& locale)
{
    const auto name =
        locale.upToFirstOccurrenceOf(".", false, false).upToFirstOccurrenceOf("@", false, false);
    if (name.isEmpty() || name == "C" || name == "POSIX") return 0x0409;
    static const std::pair<const char*, int> full[] = {
        {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
        {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"de_DE", 0x0407},
        {"de_AT", 0x0C07}, {"de_CH", 0x0807}, {"fr_FR", 0x040C}, {"fr_CA", 0x0C0C}, {"es_ES", 0x0C0A},
        {"es_MX", 0x080A}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"it_IT", 0x0410}, {"ja_JP", 0x0411},
        {"ko_KR", 0x0412}, {"ru_RU", 0x0419}, {"nl_NL", 0x0413}, {"pl_PL", 0x0415}, {"tr_TR", 0x041F},
    };
    for (auto [n, id] : full)
        if (name == n) return id;
    // Otherwise the language's primary identifier with its default sublanguage.
    static const std::pair<const char*, int> primary[] = {
        {"zh", 0x0804}, {"en", 0x0409}, {"de", 0x0407}, {"fr", 0x040C}, {"es", 0x0C0A}, {"pt", 0x0416},
        {"it", 0x0410}, {"ja", 0x0411}, {"ko", 0x0412}, {"ru", 0x0419}, {"nl", 0x0413}, {"pl", 0x0415},
    };
    const auto language = name.upToFirstOccurrenceOf("_", false, false);
    for (auto [n, id] : primary)
        if (language == n) return id;
    return 0x0409;
}

int system_default_lang_id()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(variable); value != nullptr && *value != 0)
            return lang_id_of_locale(value);
    return 0x0409;
}
} // namespace platform
