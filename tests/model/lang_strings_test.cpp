// Tests of the compiled-in string table: the ids both languages carry, exact texts of
// rows the rest of the program relies on, and lookup of ids that have no text.

#include "model/lang_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct IdText {
    std::int32_t id;
    const char* text;
};

std::vector<std::int32_t> SortedIds(std::span<const LangEntry> table)
{
    std::vector<std::int32_t> ids;
    for (const LangEntry& entry : table)
        ids.push_back(entry.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The ids the program uses, family by family.
std::vector<std::int32_t> ExpectedIds()
{
    std::vector<std::int32_t> ids;
    auto range = [&ids](std::int32_t first, std::int32_t last) {
        for (std::int32_t id = first; id <= last; ++id)
            ids.push_back(id);
    };
    range(1, 89);
    range(1001, 1002);
    range(2001, 2001);
    range(3005, 3021);
    range(3051, 3054);
    range(4001, 4022);  // 4023 has no row: "Frame Length" takes its label from id 22
    range(4024, 4034);  // 4035 has no row: "Frame Type" keeps its help text at 4036
    range(4036, 4037);
    range(5001, 5019);
    return ids;
}

bool Contains(std::span<const LangEntry> table, std::int32_t id)
{
    return std::any_of(table.begin(), table.end(),
                       [id](const LangEntry& entry) { return entry.id == id; });
}

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07u;
        } else {
            return false;
        }
        if (extra >= s.size() - i)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(s[i + k]);
            if ((cont & 0xC0u) != 0x80u)
                return false;
            cp = (cp << 6) | (cont & 0x3Fu);
        }
        if (extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
            return false;
        if (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

const std::int32_t kUnknownIds[] = {0, 90, 1000, 1003, 2000, 3004, 3022, 3050, 3055,
                                    4000, 4023, 4035, 4038, 5000, 5020, -1, -3005, 1000000};

const std::int32_t kEmptyRows[] = {3013, 3017, 3019};

}  // namespace

// ---------------------------------------------------------------------------
// Which ids the tables carry

TEST(LangTableIds, EachTableHolds167DistinctIds)
{
    for (Language lang : {Language::English, Language::Chinese}) {
        SCOPED_TRACE(LanguageName(lang));
        const auto table = lang == Language::English ? EnglishStringTable() : ChineseStringTable();
        EXPECT_EQ(table.size(), 167u);
        const std::vector<std::int32_t> ids = SortedIds(table);
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "an id occurs twice";
    }
}

TEST(LangTableIds, BothLanguagesCarryTheSameIds)
{
    EXPECT_EQ(SortedIds(EnglishStringTable()), SortedIds(ChineseStringTable()));
}

TEST(LangTableIds, IdsAreExactlyTheFamiliesInUse)
{
    EXPECT_EQ(SortedIds(EnglishStringTable()), ExpectedIds());
}

TEST(LangTableIds, EveryEntryHasAText)
{
    for (const auto table : {EnglishStringTable(), ChineseStringTable()}) {
        for (const LangEntry& entry : table)
            EXPECT_NE(entry.text, nullptr) << "id " << entry.id;
    }
}

// ---------------------------------------------------------------------------
// Exact texts

TEST(LangTextsEnglish, SpotChecksAcrossAllFamilies)
{
    const IdText rows[] = {
        {1, "Embedded Module Configuration Software Orvel"},
        {2, "Bremor Configuration Software "},
        {3, "Ostrel Configuration Software "},
        {8, "DelNode "},
        {9, "AddCmd "},
        {11, "Upload"},
        {12, "Download"},
        {19, "Whether calculate mapping address automatically or not?"},
        {22, "Frame Length"},
        {31, "Upload"},
        {32, "Download "},
        {33, "01 Read Coil Status"},
        {41, "11 Fetech Comm Event Ctr"},
        {46, "16 Preset Multiple Registers"},
        {47, "Configuration has been changed, save it or not?"},
        {48, "Error command"},
        {50, "If the protocol type is Modbus slave, it is the slave's address.\r\n(Range:0 ~ 247)"},
        {57, "Time Interval between Characters "},
        {58, "In \"User Config\" mode, it is maximum time interval between characters and used to "
             "decide whether a frame is terminated or not.\r\n(Range:10~60000ms)"},
        {59, "Type of Protocol "},
        {61, "Number of Bytes"},
        {64, "Number of Bytes "},
        {79, "Set slave address\r\n(Range:1~247)"},
        {85, "When in mode of \"Probe addr automatically\", this parameter can be set.\r\n"
             "Default Value: different value at each baud rate (baud-rate bps/default value in ms):\r\n"
             "  300/180,600/90,1200/60,2400/40,9600/15,19200/10,38400/10,57600/10,115200/10;\r\n"
             "Customized:user set it,range: 1~60000ms."},
        {88, "Orvel Industrial Networks Co., Ltd."},
        {89, "No. 8 Fieldbus Road, Automation Park"},
        {1001, "MODBUS Command number is more than 48!"},
        {1002, "\\Orvel_EN.chm"},
        {2001, "IDS_UPDOWN_ONOK_STR1"},
        {3006, "When the subnet communication mode select \"ASCII\", the range is 1 to 45,\r\n"
               "or the range is 1 to 84(Modbus function code 3,4,16); 1 to 400 (Modbus function code 1,2,15)."},
        {3007, "Mapping Address(HEX)"},
        {3008, "The mapping address of the data in the module's memory.\r\n(Range:0000H~00A7H)"},
        {3009, "The mapping address of the data in the module's memory.\r\n(Range:4000H~40A7H)"},
        {3021, "Input the help information."},
        {3051, "Function Code"},
        {3054, "Modbus salve Register or coil's starting address. The range of the parameter value is 0 to 65535."},
        {4013, "Response Timeout(50~60000ms)"},
        {4014, "After the gateway sends request, it waits the Modbus slave's response for max time "
               "which is in ms. \r\n(Range:50~6000ms)"},
        {4016, "Delay between polls means delay between a response has been received and sending next "
               "request. \r\nThe range of the parameter value is 0 to 2500ms. "},
        {4024, "In \"User Config\" mode, it is the length of a frame and used to decide whether a frame "
               "is terminated or not.\r\n(Range:1~166)"},
        {4036, "In \"User Config\" mode, There are three methods to deciding whether a frame is terminated or not. "},
        {4037, "Frame Type"},
        {5001, "Unknown error!"},
        {5011, "Command uploaded  error"},
        {5013, "This version of the hardware does not support \"User Config\""},
        {5018, "The Following data is empty!"},
        {5019, "Language does not match!"},
    };
    for (const IdText& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(GetLangStringIn(Language::English, row.id), row.text);
    }
}

TEST(LangTextsEnglish, TextsArePlainAscii)
{
    for (const LangEntry& entry : EnglishStringTable()) {
        for (const char* p = entry.text; *p != '\0'; ++p)
            EXPECT_LT(static_cast<unsigned char>(*p), 0x80u) << "id " << entry.id;
    }
}

TEST(LangTextsChinese, SpotChecks)
{
    const IdText rows[] = {
        {1, "嵌入式模块配置软件Orvel"},
        {20, "Modbus主站"},
        {21, "通用模式"},
        {33, "01 读线圈状态"},
        {1001, "最多允许48条命令"},
        {1002, "\\Orvel软件说明书.chm"},
        {2001, "IDS_UPDOWN_ONOK_STR1"},
        {5007, "某一项为空"},
        {5019, "配置文件语言与当前软件不匹配!"},
    };
    for (const IdText& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(GetLangStringIn(Language::Chinese, row.id), row.text);
    }
}

TEST(LangTextsChinese, EveryTextIsValidUtf8)
{
    for (const LangEntry& entry : ChineseStringTable())
        EXPECT_TRUE(IsValidUtf8(entry.text)) << "id " << entry.id;
}

TEST(LangTextsChinese, Utf8ValidatorRejectsBrokenSequences)
{
    EXPECT_TRUE(IsValidUtf8("Modbus主站"));
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // truncated three-byte sequence
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xD6\xD0\xCE\xC4"));  // GBK bytes, not UTF-8
    EXPECT_FALSE(IsValidUtf8("\x80"));              // stray continuation byte
}

TEST(LangTextsChinese, IsATranslationNotACopyOfTheEnglishTable)
{
    for (std::int32_t id : {1, 4, 12, 49, 3005, 4001, 5001, 5019}) {
        SCOPED_TRACE(id);
        EXPECT_NE(GetLangStringIn(Language::Chinese, id), GetLangStringIn(Language::English, id));
    }
}

TEST(LangTextsChinese, FunctionNamesKeepTheirFunctionCode)
{
    for (std::int32_t id = 33; id <= 46; ++id) {
        SCOPED_TRACE(id);
        const std::string en = GetLangStringIn(Language::English, id);
        const std::string zh = GetLangStringIn(Language::Chinese, id);
        ASSERT_GE(en.size(), 3u);
        ASSERT_GE(zh.size(), 4u);
        EXPECT_EQ(zh.substr(0, 3), en.substr(0, 3));
    }
}

TEST(LangTextsChinese, PulseOutputHelpListsFourModes)
{
    const std::string help = GetLangStringIn(Language::Chinese, 4018);
    for (const char* mode : {"周期输出", "禁止输出", "变化输出", "脉冲输出"})
        EXPECT_NE(help.find(mode), std::string::npos) << mode;
}

// ---------------------------------------------------------------------------
// Texts are kept as they stand

TEST(LangTextsFormat, TrailingBlanksAreKept)
{
    for (std::int32_t id : {2, 3, 8, 9, 32, 57, 59, 64, 4036}) {
        SCOPED_TRACE(id);
        const std::string text = GetLangStringIn(Language::English, id);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), ' ');
    }
    EXPECT_NE(GetLangStringIn(Language::English, 5011).find("uploaded  error"), std::string::npos);
}

TEST(LangTextsFormat, LineBreaksAreCarriageReturnLineFeed)
{
    const std::string text = GetLangStringIn(Language::English, 85);
    std::size_t breaks = 0;
    for (std::size_t pos = text.find("\r\n"); pos != std::string::npos; pos = text.find("\r\n", pos + 2))
        ++breaks;
    EXPECT_EQ(breaks, 3u);
    // No lone line feed or carriage return anywhere in either table.
    for (const auto table : {EnglishStringTable(), ChineseStringTable()}) {
        for (const LangEntry& entry : table) {
            const std::string_view s = entry.text;
            for (std::size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '\r') {
                    EXPECT_TRUE(i + 1 < s.size() && s[i + 1] == '\n') << "id " << entry.id;
                }
                if (s[i] == '\n') {
                    EXPECT_TRUE(i > 0 && s[i - 1] == '\r') << "id " << entry.id;
                }
            }
        }
    }
}

TEST(LangTextsFormat, DifferentIdsMayShareOrNearlyShareATextInEnglish)
{
    EXPECT_EQ(GetLangStringIn(Language::English, 11), "Upload");
    EXPECT_EQ(GetLangStringIn(Language::English, 31), "Upload");
    EXPECT_EQ(GetLangStringIn(Language::English, 51), "Byte Swap");
    EXPECT_EQ(GetLangStringIn(Language::English, 3014), "Byte Swap");
    EXPECT_EQ(GetLangStringIn(Language::English, 63), GetLangStringIn(Language::English, 66));
    EXPECT_EQ(GetLangStringIn(Language::English, 12), "Download");
    EXPECT_EQ(GetLangStringIn(Language::English, 32), "Download ");
    EXPECT_EQ(GetLangStringIn(Language::English, 24), "Time Interval between Characters");
    EXPECT_EQ(GetLangStringIn(Language::English, 57), "Time Interval between Characters ");
}

TEST(LangTextsFormat, HelpFileNameIsAPathFragmentInBothLanguages)
{
    for (Language lang : {Language::English, Language::Chinese}) {
        SCOPED_TRACE(LanguageName(lang));
        const std::string name = GetLangStringIn(lang, 1002);
        ASSERT_GE(name.size(), 5u);
        EXPECT_EQ(name.front(), '\\');
        EXPECT_EQ(name.substr(name.size() - 4), ".chm");
    }
}

// ---------------------------------------------------------------------------
// Ids without a text

TEST(LangLookupMissing, UnknownIdsGiveTheEmptyText)
{
    for (Language lang : {Language::English, Language::Chinese}) {
        SCOPED_TRACE(LanguageName(lang));
        for (std::int32_t id : kUnknownIds) {
            SCOPED_TRACE(id);
            EXPECT_FALSE(Contains(lang == Language::English ? EnglishStringTable() : ChineseStringTable(), id));
            EXPECT_EQ(GetLangStringIn(lang, id), "");
        }
    }
}

TEST(LangLookupMissing, EmptyRowsArePresentButGiveTheEmptyText)
{
    for (Language lang : {Language::English, Language::Chinese}) {
        SCOPED_TRACE(LanguageName(lang));
        const auto table = lang == Language::English ? EnglishStringTable() : ChineseStringTable();
        for (std::int32_t id : kEmptyRows) {
            SCOPED_TRACE(id);
            EXPECT_TRUE(Contains(table, id));
            EXPECT_EQ(GetLangStringIn(lang, id), "");
        }
    }
}

TEST(LangLookupMissing, NoOtherRowIsEmpty)
{
    for (Language lang : {Language::English, Language::Chinese}) {
        SCOPED_TRACE(LanguageName(lang));
        const auto table = lang == Language::English ? EnglishStringTable() : ChineseStringTable();
        for (const LangEntry& entry : table) {
            const bool meant_empty = std::find(std::begin(kEmptyRows), std::end(kEmptyRows), entry.id) !=
                                     std::end(kEmptyRows);
            EXPECT_EQ(std::strlen(entry.text) == 0, meant_empty) << "id " << entry.id;
        }
    }
}

// ---------------------------------------------------------------------------
// The built language

TEST(LangBuilt, GetLangStringLooksUpTheBuiltLanguage)
{
    const Language built = BuiltLanguage();
    for (const LangEntry& entry : EnglishStringTable())
        EXPECT_EQ(GetLangString(entry.id), GetLangStringIn(built, entry.id)) << "id " << entry.id;
    for (std::int32_t id : kUnknownIds)
        EXPECT_EQ(GetLangString(id), "") << "id " << id;
}

TEST(LangBuilt, LanguageNamesAreTheWordsOfTheFileHeader)
{
    EXPECT_STREQ(LanguageName(Language::English), "English");
    EXPECT_STREQ(LanguageName(Language::Chinese), "Chinese");
}

#if !(defined(GATEWAY_LANG_CHINESE) && GATEWAY_LANG_CHINESE)
TEST(LangBuilt, DefaultBuildIsEnglish)
{
    EXPECT_EQ(BuiltLanguage(), Language::English);
    EXPECT_EQ(GetLangString(1), "Embedded Module Configuration Software Orvel");
    EXPECT_EQ(GetLangString(5019), "Language does not match!");
}
#endif
