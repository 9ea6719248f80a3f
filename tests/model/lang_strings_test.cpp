// The two string tables: the same ids in both, every id the program asks for present, and every
// text fit for a GB2312 file.

#include "file/text_encoding.h"
#include "model/lang_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::int32_t> SortedIds(std::span<const LangEntry> table)
{
    std::vector<std::int32_t> ids;
    for (const LangEntry& entry : table)
        ids.push_back(entry.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST(LangTables, SameIdsInBothLanguagesAndNoneMissing)
{
    // The id families in use; 4023 and 4035 have no row.
    std::vector<std::int32_t> want;
    for (auto [first, last] : {std::pair{1, 89}, {1001, 1002}, {2001, 2001}, {3005, 3021}, {3051, 3054},
                               {4001, 4022}, {4024, 4034}, {4036, 4037}, {5001, 5019}}) {
        for (std::int32_t id = first; id <= last; ++id)
            want.push_back(id);
    }
    EXPECT_EQ(SortedIds(gw::EnglishStringTable()), want);
    EXPECT_EQ(SortedIds(gw::ChineseStringTable()), want);
    for (std::int32_t id : {0, 90, 1000, 4023, 4035, 5020, -1})
        EXPECT_EQ(gw::GetLangStringIn(Language::Chinese, StringId(id)), "") << id;
}

TEST(LangTables, EveryTextSurvivesTheFileEncodingAndOnlyTheBlankRowsAreEmpty)
{
    const std::int32_t blank[] = {3013, 3017, 3019};
    for (Language lang : {Language::English, Language::Chinese}) {
        for (const LangEntry& entry : lang == Language::English ? gw::EnglishStringTable() : gw::ChineseStringTable()) {
            SCOPED_TRACE(std::string(gw::LanguageName(lang)) + " id " + std::to_string(entry.id));
            ASSERT_NE(entry.text, nullptr);
            EXPECT_EQ(std::strlen(entry.text) == 0, std::find(std::begin(blank), std::end(blank), entry.id) != std::end(blank));
            const std::optional<std::string> gbk = gw::Utf8ToGbk(entry.text);
            ASSERT_TRUE(gbk.has_value());
            EXPECT_EQ(gw::GbkToUtf8(*gbk), std::optional<std::string>(entry.text));
            EXPECT_EQ(gw::GetLangStringIn(lang, StringId(entry.id)), entry.text);
            EXPECT_EQ(gw::GetLangString(StringId(entry.id)), gw::GetLangStringIn(gw::BuiltLanguage(), StringId(entry.id)));
        }
    }
    // A real translation, whose GB2312 bytes differ from its UTF-8 ones.
    const std::string chinese = gw::GetLangStringIn(Language::Chinese, ChoiceText::ModbusMaster);
    EXPECT_NE(gw::Utf8ToGbk(chinese), std::optional<std::string>(chinese));
}

} // namespace
