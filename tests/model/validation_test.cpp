// The value checks under every edit, the readers of hexadecimal and leading numbers, and result
// codes without a text. Ranges of particular rows are pinned in commit_rules_test.

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

TEST(Validation, DecimalAndHexChecks)
{
    struct Decimal {
        std::string text;
        std::int32_t min, max;
        ResultCode expected;
    };
    for (const Decimal& c : std::vector<Decimal>{
             {"Default Value", 5, 1, RESULT_OK}, {"default value", 1, 60000, RESULT_ILLEGAL_CHAR},
             {"", kMinInt, kMaxInt, RESULT_EMPTY_ITEM}, {"-1", -10, 10, RESULT_ILLEGAL_CHAR},   // no sign at all
             {"+5", 0, 10, RESULT_ILLEGAL_CHAR}, {" 12", 0, 100, RESULT_ILLEGAL_CHAR}, {"/", 0, 100, RESULT_ILLEGAL_CHAR},
             {":", 0, 100, RESULT_ILLEGAL_CHAR}, {"1\xB0", 0, 100, RESULT_ILLEGAL_CHAR}, {"0247", 1, 247, RESULT_OK},
             {"2147483647", 0, kMaxInt, RESULT_OK}, {"2147483648", 0, kMaxInt, RESULT_OUT_OF_RANGE},
             {"99999999999999999999999999", kMinInt, kMaxInt, RESULT_OUT_OF_RANGE}})
        EXPECT_EQ(CheckDecimal(c.text, c.min, c.max), c.expected) << "\"" << c.text << "\"";
    struct Hex {
        std::string text;
        std::uint32_t min, max;
        ResultCode expected;
    };
    for (const Hex& c : std::vector<Hex>{
             {"00A7", 0x0, 0xF3, RESULT_OK}, {"00a7", 0x0, 0xF3, RESULT_ILLEGAL_CHAR}, {"00G0", 0, 0xF3, RESULT_ILLEGAL_CHAR},
             {"00A7H", 0x0, 0xF3, RESULT_OUT_OF_RANGE},   // five characters: range, not character
             {"00:0", 0x0, 0xF3, RESULT_ILLEGAL_CHAR}, {"@", 0x0, 0xF3, RESULT_ILLEGAL_CHAR}, {"", 0x0, 0xF3, RESULT_OK},
             {"", 0x4000, 0x40F3, RESULT_OUT_OF_RANGE}, {"FFFF", 0x0, 0xFFFF, RESULT_OK}})
        EXPECT_EQ(CheckHex(c.text, c.min, c.max), c.expected) << "\"" << c.text << "\"";
}

TEST(Validation, ReadersOfHexAndLeadingNumbers)
{
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"40f3", 0x40F3}, {"", 0}, {"0010", 16}, {"ffff", 0xFFFF},
             {"1G", 16}, {"G1", 1},   // any other character counts 0 but keeps its place
             {"40F3A", 0}})
        EXPECT_EQ(HexToNumber(text), expected) << "\"" << text << "\"";
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::int32_t>>{
             {"03 Read Holding Register", 3}, {"Default Value", 0}, {"", 0}, {"  42abc", 42}, {"-17", -17},
             {"+8", 8}, {"- 5", 0}, {"2147483648", kMaxInt}, {"-99999999999", kMinInt},
             {"0000000000000000000000000012", 12}})
        EXPECT_EQ(LeadingInt(text), expected) << "\"" << text << "\"";
    for (ResultCode code : {14u, 99u, 0xFFFFFFFFu})   // codes without a text
        EXPECT_EQ(ResultMessage(code), ResultMessage(12)) << code;
}

} // namespace
