// The readers of hexadecimal and leading numbers under the wire layout and the mapping, and result
// codes without a text. The value checks are pinned through the edits in commit_rules_test.

#include "model/lang_strings.h"
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

TEST(Validation, ReadersOfHexAndLeadingNumbers)
{
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"40f3", 0x40F3}, {"", 0}, {"0010", 16}, {"ffff", 0xFFFF},
             {"1G", 16}, {"G1", 1},   // any other character counts 0 but keeps its place
             {"40F3A", 0}})
        EXPECT_EQ(gw::HexToNumber(text), expected) << "\"" << text << "\"";
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::int32_t>>{
             {"03 Read Holding Register", 3}, {"Default Value", 0}, {"", 0}, {"  42abc", 42}, {"-17", -17},
             {"+8", 8}, {"- 5", 0}, {"2147483648", kMaxInt}, {"-99999999999", kMinInt},
             {"0000000000000000000000000012", 12}})
        EXPECT_EQ(gw::LeadingInt(text), expected) << "\"" << text << "\"";
    for (ResultCode code : {12u, 15u, 99u, 0xFFFFFFFFu})   // codes without a text
        EXPECT_EQ(gw::ResultMessage(code), gw::GetLangString(MessageText::UnknownError)) << code;
}

} // namespace
