// Value checks of edited texts, the hexadecimal and leading-integer readers, and the
// messages of the result codes.

#include "model/result_codes.h"
#include "model/validation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

TEST(CheckDecimalTest, AcceptsAndRefusesAsTheGridExpects)
{
    struct Case {
        std::string text;
        std::int32_t min, max;
        ResultCode expected;
    };
    const std::vector<Case> cases = {
        {"Default Value", 5, 1, RESULT_OK},   // whatever the range
        {"default value", 1, 60000, RESULT_ILLEGAL_CHAR}, {"", 0, 10, RESULT_EMPTY_ITEM},
        {"-1", -10, 10, RESULT_ILLEGAL_CHAR},   // no sign, even where negatives fit
        {"+5", 0, 10, RESULT_ILLEGAL_CHAR}, {" 12", 0, 100, RESULT_ILLEGAL_CHAR}, {"1.5", 0, 100, RESULT_ILLEGAL_CHAR},
        {"/", 0, 100, RESULT_ILLEGAL_CHAR}, {":", 0, 100, RESULT_ILLEGAL_CHAR}, {"1\xB0", 0, 100, RESULT_ILLEGAL_CHAR},
        {"248", 1, 247, RESULT_OUT_OF_RANGE}, {"247", 1, 247, RESULT_OK}, {"1", 1, 247, RESULT_OK},
        {"0", 1, 247, RESULT_OUT_OF_RANGE}, {"0247", 1, 247, RESULT_OK},
        {"2147483647", 0, kMaxInt, RESULT_OK}, {"2147483648", 0, kMaxInt, RESULT_OUT_OF_RANGE},
        {"99999999999999999999999999", kMinInt, kMaxInt, RESULT_OUT_OF_RANGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\" in " + std::to_string(c.min) + ".." + std::to_string(c.max));
        EXPECT_EQ(CheckDecimal(c.text, c.min, c.max), c.expected);
    }
}

TEST(CheckHexTest, AcceptsUpperCaseDigitsOfAtMostFourCharacters)
{
    struct Case {
        std::string text;
        std::uint32_t min, max;
        ResultCode expected;
    };
    const std::vector<Case> cases = {
        {"00A7", 0x0, 0xF3, RESULT_OK}, {"00a7", 0x0, 0xF3, RESULT_ILLEGAL_CHAR},
        {"00A7H", 0x0, 0xF3, RESULT_OUT_OF_RANGE},   // five characters: range, not character
        {"00G0", 0x0, 0xF3, RESULT_ILLEGAL_CHAR}, {"00:0", 0x0, 0xF3, RESULT_ILLEGAL_CHAR},
        {"@", 0x0, 0xF3, RESULT_ILLEGAL_CHAR}, {"", 0x0, 0xF3, RESULT_OK}, {"", 0x4000, 0x40F3, RESULT_OUT_OF_RANGE},
        {"F3", 0x0, 0xF3, RESULT_OK}, {"F4", 0x0, 0xF3, RESULT_OUT_OF_RANGE}, {"4000", 0x4000, 0x40F3, RESULT_OK},
        {"40F3", 0x4000, 0x40F3, RESULT_OK}, {"40F4", 0x4000, 0x40F3, RESULT_OUT_OF_RANGE},
        {"3FFF", 0x4000, 0x40F3, RESULT_OUT_OF_RANGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(CheckHex(c.text, c.min, c.max), c.expected);
    }
}

TEST(HexToNumberTest, ReadsBothCasesAndGivesZeroForLongTexts)
{
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"40f3", 0x40F3}, {"40F3", 0x40F3}, {"", 0}, {"a", 10}, {"0010", 16}, {"ffff", 0xFFFF},
        {"1G", 16}, {"G1", 1},   // any other character counts 0 but keeps its place
        {"40F3A", 0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE("\"" + text + "\"");
        EXPECT_EQ(HexToNumber(text), expected);
    }
}

TEST(LeadingIntTest, ReadsLeadingDigitsAndSaturates)
{
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"03 Read Holding Register", 3}, {"Default Value", 0}, {"", 0}, {"  42abc", 42}, {"-17", -17},
        {"+8", 8}, {"- 5", 0}, {"2147483648", kMaxInt}, {"-99999999999", kMinInt},
        {"0000000000000000000000000012", 12},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE("\"" + text + "\"");
        EXPECT_EQ(LeadingInt(text), expected);
    }
}

TEST(ResultMessageTest, CodesWithoutATextGiveTheUnknownError)
{
    for (ResultCode code : {14u, 99u, 0xFFFFFFFFu})
        EXPECT_EQ(ResultMessage(code), ResultMessage(12)) << code;
    EXPECT_NE(ResultMessage(RESULT_MAPPING_OVERFLOW), ResultMessage(12));
}

} // namespace
