// Values as engineers write and read them: decimal or 0x hex wherever a value is typed (probe's
// --write, modbus-slave-sim's tables), and registers read through the views.

#include <gtest/gtest.h>

#include "commission/probe_run.h"
#include "commission/value_view.h"
#include "modbus_sim/slave_tables.h"

namespace {

TEST(ValueTexts, DecimalOrHexAfter0x)
{
    const struct {
        const char* text;
        int value;   // -1: refused
    } cases[] = {
        {"0100", 100}, {"08", 8}, {"0", 0}, {" 7 ", 7}, {"0x1F", 31}, {"0X1f", 31}, {"65535", 65535}, {"0xFFFF", 65535},
        {"65536", -1}, {"0x10000", -1}, {"0x", -1}, {"-1", -1}, {"+1", -1}, {"1e3", -1}, {"0b1", -1}, {"", -1}, {"12a", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::uint16_t> values;
        const Outcome parsed = gw::ParseValueList(c.text, values);
        EXPECT_EQ(parsed.Ok(), c.value >= 0) << parsed.message;
        if (c.value >= 0) {
            EXPECT_EQ(values, std::vector<std::uint16_t>{static_cast<std::uint16_t>(c.value)});
        }
        SlaveTables tables;
        const Outcome added = gw::AddTableValues(tables, TABLE_HOLDING, std::string("100=") + c.text);
        EXPECT_EQ(added.Ok(), c.value >= 0) << added.message;
        if (c.value >= 0) {
            EXPECT_EQ(tables.values[TABLE_HOLDING].at(100), c.value);
        }
    }
}

TEST(ValueViews, ReadRegistersAsTheyMean)
{
    const struct {
        const char* view;
        std::vector<std::uint16_t> registers;
        std::vector<std::string> reading;   // empty: the view is refused
    } cases[] = {
        {"float:abcd", {0x41C8, 0x0000}, {"25"}},
        {"float", {0x41C8, 0x0000}, {"25"}},
        {"float:cdab", {0x0000, 0x41C8}, {"25"}},
        {"float:badc", {0xC841, 0x0000}, {"25"}},
        {"float:dcba", {0x0000, 0xC841}, {"25"}},
        {"float:abcd", {0xBFC0, 0x0000, 0x41C8}, {"-1.5", "(odd register)"}},
        {"signed", {0xFFFB, 5}, {"-5", "5"}},
        {"unsigned", {0xFFFB}, {"65531"}},
        {"hex", {0xFFFB, 0x0A}, {"0xFFFB", "0x000A"}},
        {"binary", {5}, {"0000000000000101"}},
        {"int32:abcd", {0xFFFF, 0xFFFB}, {"-5"}},
        {"int32:cdab", {0xFFFB, 0xFFFF}, {"-5"}},
        {"uint32:dcba", {0xFBFF, 0xFFFF}, {"4294967291"}},
        {"uint32:badc", {0x0100, 0x0200}, {"65538"}},
        {"double", {1}, {}},
        {"hex:abcd", {1}, {}},
        {"float:xyz", {1}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        ValueView view;
        const Outcome parsed = gw::ParseValueView(c.view, view);
        ASSERT_EQ(parsed.Ok(), !c.reading.empty()) << parsed.message;
        if (c.reading.empty())
            continue;
        EXPECT_EQ(gw::ReadThroughView(view, c.registers), c.reading);
        ValueView again;
        EXPECT_TRUE(gw::ParseValueView(gw::ValueViewName(view), again).Ok());
        EXPECT_EQ(again, view);
    }
}

} // namespace
