#pragma once
// The compiled-in string table: every text the program shows, looked up by id.
// Both languages carry the same ids and both are built into every program. A program runs in
// one of them: the system locale's, or the one the user picked; the CMake option
// GATEWAY_LANG_CHINESE chooses only the default. Texts are UTF-8; conversion to the GB2312/GBK
// bytes of a configuration file happens in the file layer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <optional>
#include <string>
#include <string_view>

#include "model/string_ids.h"

struct LangEntry {
    std::int32_t id;
    const char* text;
};

enum class Language { English, Chinese };

namespace gw {

// The two tables, in their stored order (lookup is by id; order carries no meaning).
std::span<const LangEntry> EnglishStringTable();
std::span<const LangEntry> ChineseStringTable();

// The default language chosen when the program was built.
Language BuiltLanguage();

// The language the program runs in; the built default until the program picks one.
Language ActiveLanguage();
void SetActiveLanguage(Language lang);
// The language of the system locale (LC_ALL, LC_MESSAGES, LANG): Chinese for "zh...", English
// for "en...", the built default for any other or none.
Language SystemLanguage();
// "en" or "zh" (as a user names them on a command line or in the settings); none otherwise.
std::optional<Language> ParseLanguage(std::string_view code);
// The code ParseLanguage reads: "en" or "zh".
const char* LanguageCode(Language lang);

// The word stored in a configuration file's header for a language: "English" or "Chinese".
const char* LanguageName(Language lang);

// Text of id in the given language; the empty text for an id that is not in the table.
std::string GetLangStringIn(Language lang, StringId id);

// Text of id in the active language; the empty text for an id that is not in the table.
std::string GetLangString(StringId id);

} // namespace gw
