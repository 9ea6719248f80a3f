#pragma once
// The compiled-in string table: every text the program shows, looked up by id.
// Both languages carry the same ids; the language is chosen when the program is built
// (CMake option GATEWAY_LANG_CHINESE). Texts are UTF-8; conversion to the GB2312/GBK
// bytes of a configuration file happens in the file layer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct LangEntry {
    std::int32_t id;
    const char* text;
};

enum class Language { English, Chinese };

// The two tables, in their stored order (lookup is by id; order carries no meaning).
std::span<const LangEntry> EnglishStringTable();
std::span<const LangEntry> ChineseStringTable();

// The language this program was built for.
Language BuiltLanguage();

// The word stored in a configuration file's header for a language: "English" or "Chinese".
const char* LanguageName(Language lang);

// Text of id in the given language; the empty text for an id that is not in the table.
std::string GetLangStringIn(Language lang, std::int32_t id);

// Text of id in the built language; the empty text for an id that is not in the table.
std::string GetLangString(std::int32_t id);
