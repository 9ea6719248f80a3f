#include "model/lang_strings.h"

#include <cstdlib>

Language gw::BuiltLanguage()
{
#if defined(GATEWAY_LANG_CHINESE) && GATEWAY_LANG_CHINESE
    return Language::Chinese;
#else
    return Language::English;
#endif
}

namespace {

Language g_active = gw::BuiltLanguage();

} // namespace

Language gw::ActiveLanguage()
{
    return g_active;
}

void gw::SetActiveLanguage(Language lang)
{
    g_active = lang;
}

Language gw::SystemLanguage()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        const std::string_view locale(value);
        if (locale.starts_with("zh"))
            return Language::Chinese;
        if (locale.starts_with("en"))
            return Language::English;
        return gw::BuiltLanguage();
    }
    return gw::BuiltLanguage();
}

std::optional<Language> gw::ParseLanguage(std::string_view code)
{
    if (code == "en")
        return Language::English;
    if (code == "zh")
        return Language::Chinese;
    return std::nullopt;
}

const char* gw::LanguageCode(Language lang)
{
    return lang == Language::Chinese ? "zh" : "en";
}

const char* gw::LanguageName(Language lang)
{
    return lang == Language::Chinese ? "Chinese" : "English";
}

std::string gw::GetLangStringIn(Language lang, StringId id)
{
    const auto table = lang == Language::Chinese ? ChineseStringTable() : EnglishStringTable();
    for (const LangEntry& entry : table) {
        if (entry.id == id.Value())
            return entry.text;
    }
    return {};
}

std::string gw::GetLangString(StringId id)
{
    return GetLangStringIn(ActiveLanguage(), id);
}
