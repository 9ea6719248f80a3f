#include "model/lang_strings.h"

Language BuiltLanguage()
{
#if defined(GATEWAY_LANG_CHINESE) && GATEWAY_LANG_CHINESE
    return Language::Chinese;
#else
    return Language::English;
#endif
}

const char* LanguageName(Language lang)
{
    return lang == Language::Chinese ? "Chinese" : "English";
}

std::string GetLangStringIn(Language lang, std::int32_t id)
{
    const auto table = lang == Language::Chinese ? ChineseStringTable() : EnglishStringTable();
    for (const LangEntry& entry : table) {
        if (entry.id == id)
            return entry.text;
    }
    return {};
}

std::string GetLangString(std::int32_t id)
{
    return GetLangStringIn(BuiltLanguage(), id);
}
