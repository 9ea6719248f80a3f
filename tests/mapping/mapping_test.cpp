// Automatic mapping, command placement and the bit usage map with its check.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "mapping_test_support.h"
#include "model/lang_strings.h"

using namespace mapping_test;

namespace {

constexpr std::uint32_t kU32Max = std::numeric_limits<std::uint32_t>::max();

// ---------------------------------------------------------------------------------------------
// MapCommand: area, byte count, address text and cursor advance of one command.

struct MapRow {
    CmdSpec cmd;
    MapCursors before;
    std::string address;   // "Mapping Address(HEX)" written
    std::string bytes;     // "Number of Byte" written
    MapCursors after;
};

TEST(MapCommand, PlacesOneCommandAtItsAreasCursor)
{
    const std::vector<MapRow> rows = {
        // Bit reads: ceil((N + b) / 8), the bits in front of b counted in.
        {{1, "10", "3"}, {0, 0}, "0000H", "2", {2, 0}},
        {{2, "8", "0"}, {0, 0}, "0000H", "1", {1, 0}},
        {{2, "8", "1"}, {3, 9}, "0003H", "2", {5, 9}},
        {{1, "1", "7"}, {0, 0}, "0000H", "1", {1, 0}},
        {{1, "2", "7"}, {0, 0}, "0000H", "2", {2, 0}},
        {{1, "0", "0"}, {4, 0}, "0004H", "0", {4, 0}},
        // Register reads: 2 x N, the mapping bit ignored.
        {{3, "84", "0"}, {0x10, 0}, "0010H", "168", {0xB8, 0}},
        {{4, "1", "5"}, {0, 0}, "0000H", "2", {2, 0}},
        {{3, "1", "0"}, {0x1A, 0}, "001AH", "2", {0x1C, 0}},
        // Single coil: one byte for any bit 0-7, N not used.
        {{5, "1", "7"}, {0, 5}, "4005H", "1", {0, 6}},
        {{5, "10", "0"}, {0, 0}, "4000H", "1", {0, 1}},
        // Single register uses N like the other register codes.
        {{6, "3", "0"}, {0, 0}, "4000H", "6", {0, 6}},
        {{15, "10", "3"}, {7, 0}, "4000H", "2", {7, 2}},
        {{15, "8", "1"}, {0, 0}, "4000H", "2", {0, 2}},
        {{15, "16", "0"}, {0, 0}, "4000H", "2", {0, 2}},
        {{15, "17", "0"}, {0, 0}, "4000H", "3", {0, 3}},
        {{16, "5", "3"}, {0, 0xAB}, "40ABH", "10", {0, 0xB5}},
        {{16, "1", "0"}, {0, 0xF3}, "40F3H", "2", {0, 0xF5}},
        // A code the module does not know goes to the output area as registers.
        {{7, "2", "0"}, {1, 1}, "4001H", "4", {1, 5}},
    };
    for (const MapRow& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.cmd.code) + " N=" + row.cmd.count + " b=" + row.cmd.bit);
        auto root = MakeConfig({row.cmd});
        CModbusCommand& command = *FirstSlave(*root).GetCommandAt(0);
        MapCursors cursors = row.before;
        MapCommand(command, cursors);
        EXPECT_EQ(ValueOf(command, CMD_ROW_MAP_ADDRESS), row.address);
        EXPECT_EQ(ValueOf(command, CMD_ROW_BYTE_COUNT), row.bytes);
        EXPECT_EQ(cursors.input, row.after.input);
        EXPECT_EQ(cursors.output, row.after.output);
        // Only rows 3 and 5 are written.
        EXPECT_EQ(ValueOf(command, CMD_ROW_MAP_BIT), row.cmd.bit);
        EXPECT_EQ(ValueOf(command, CMD_ROW_DATA_COUNT), row.cmd.count);
        EXPECT_EQ(ValueOf(command, CMD_ROW_START_ADDRESS), "1");
    }
}

// Texts from a file that are no proper numbers: read as their leading number, never below 0,
// and never wrapping the cursor. The second command shows where the cursor ended up.
struct JunkMapRow {
    CmdSpec cmd;
    std::string bytes;
    std::string nextAddress;
};

TEST(MapCommand, JunkCountsReadAsLeadingNumberNeverNegative)
{
    const std::vector<JunkMapRow> rows = {
        {{3, "", "0"}, "0", "0000H"},
        {{3, "abc", "0"}, "0", "0000H"},
        {{3, "-5", "0"}, "0", "0000H"},
        {{3, "12abc", "0"}, "24", "0018H"},
        {{3, " 7", "0"}, "14", "000EH"},
        {{3, "99999999999", "0"}, "4294967294", "FFFFFFFEH"},
        {{1, "99999999999", "99999999999"}, "536870912", "20000000H"},
        {{1, "-5", "-5"}, "0", "0000H"},
        {{1, "3", ""}, "1", "0001H"},
        {{5, "1", "-5"}, "1", "4001H"},
        {{5, "1", "99999999999"}, "268435456", "10004000H"},
        {{16, "99999999999", "0"}, "4294967294", "100003FFEH"},
    };
    for (const JunkMapRow& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.cmd.code) + " N='" + row.cmd.count + "' b='" + row.cmd.bit + "'");
        const bool input = row.cmd.code <= 4;
        auto root = MakeConfig({row.cmd, {input ? 3 : 16, "1"}});
        MapCursors cursors;
        MapCommands(FirstSlave(*root), cursors);
        const CModbusCommand& next = *FirstSlave(*root).GetCommandAt(1);
        EXPECT_EQ(ValueOf(*FirstSlave(*root).GetCommandAt(0), CMD_ROW_BYTE_COUNT), row.bytes);
        EXPECT_EQ(ValueOf(next, CMD_ROW_MAP_ADDRESS), row.nextAddress);
        EXPECT_EQ(input ? cursors.input : cursors.output, std::stoull(row.bytes) + 2);
        EXPECT_EQ(input ? cursors.output : cursors.input, 0u);
    }
}

TEST(MapCommand, CommandWithoutItemsTakesNothing)
{
    // A command a file brought without its items: no rows to read or write.
    auto command = CModbusCommand::MakeEmpty("bare", 2);
    MapCursors cursors{3, 4};
    MapCommand(*command, cursors);
    EXPECT_EQ(cursors.input, 3u);
    EXPECT_EQ(cursors.output, 4u);
    EXPECT_EQ(command->GetItemCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// AutoMap over the whole configuration: order, area limits and the overflow messages.

enum class Msg { None, Input, Output };

struct AreaRow {
    const char* name;
    std::vector<CmdSpec> cmds;
    int result;
    Msg message;
    std::vector<std::string> addresses;   // of every command, in list order
};

TEST(AutoMap, AreaLimitsAndOverflowMessages)
{
    const std::vector<AreaRow> rows = {
        {"no commands", {}, 1, Msg::None, {}},
        {"mixed areas run side by side",
         {{1, "10", "3"}, {5, "1", "7"}, {3, "84"}, {15, "9", "0"}, {2, "1"}},
         1, Msg::None, {"0000H", "4000H", "0002H", "4001H", "00AAH"}},
        {"input exactly 244 bytes", {{3, "121"}, {1, "13", "3"}}, 1, Msg::None, {"0000H", "00F2H"}},
        {"input 245 bytes", {{3, "121"}, {1, "14", "3"}}, 0, Msg::Input, {"0000H", "00F2H"}},
        {"input 245 bytes, last command alone past the end", {{3, "122"}, {2, "1"}}, 0, Msg::Input, {"0000H", "00F4H"}},
        {"output exactly 244 bytes", {{16, "121"}, {15, "9", "7"}}, 1, Msg::None, {"4000H", "40F2H"}},
        {"output 245 bytes", {{16, "122"}, {5, "1", "0"}}, 0, Msg::Output, {"4000H", "40F4H"}},
        {"output over, input fine",
         {{5, "1", "0"}, {3, "122"}, {16, "121"}, {6, "1"}},
         0, Msg::Output, {"4000H", "0000H", "4001H", "40F3H"}},
        {"both over: only the input is reported", {{16, "123"}, {3, "123"}}, 0, Msg::Input, {"4000H", "0000H"}},
        {"huge count", {{3, "99999999999"}, {4, "1"}}, 0, Msg::Input, {"0000H", "FFFFFFFEH"}},
        {"negative counts take nothing", {{3, "-5"}, {1, "-5", "-5"}, {16, "-5"}}, 1, Msg::None,
         {"0000H", "0000H", "4000H"}},
    };
    for (const AreaRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = MakeConfig(row.cmds);
        const AutoMapResult result = AutoMap(*root);
        EXPECT_EQ(result.result, row.result);
        const std::string want = row.message == Msg::None    ? std::string()
                                 : row.message == Msg::Input ? GetLangString(5015)
                                                             : GetLangString(5016);
        EXPECT_EQ(result.message, want);
        if (BuiltLanguage() == Language::English && row.message != Msg::None) {
            EXPECT_EQ(result.message, row.message == Msg::Input ? "Input mapping address overflow!"
                                                                : "Output mapping address overflow!");
        }
        const CSlaveNode& slave = FirstSlave(*root);
        ASSERT_EQ(slave.GetCommandCount(), static_cast<int>(row.addresses.size()));
        for (int i = 0; i < slave.GetCommandCount(); ++i)
            EXPECT_EQ(ValueOf(*slave.GetCommandAt(i), CMD_ROW_MAP_ADDRESS), row.addresses[i]) << "command " << i;
    }
}

TEST(AutoMap, ExactFitEndsAtLastAddressAndChecksClean)
{
    auto root = MakeConfig({{3, "121"}, {1, "13", "3"}, {16, "122"}});
    ASSERT_EQ(AutoMap(*root).result, 1);
    const CModbusCommand& last = *FirstSlave(*root).GetCommandAt(1);
    EXPECT_EQ(ValueOf(last, CMD_ROW_MAP_ADDRESS), "00F2H");
    EXPECT_EQ(ValueOf(last, CMD_ROW_BYTE_COUNT), "2");
    // 13 coils at bit 3 of 00F2H: bits 1939-1951, the last bit of the area.
    UsageMap map;
    BuildUsageMap(root->Subnet(), map);
    EXPECT_EQ(map.input[1951], 1u);
    EXPECT_EQ(map.input[1952], 0u);
    EXPECT_EQ(map.output[1951], 1u);
    EXPECT_EQ(CheckMapping(map), RESULT_OK);
}

TEST(AutoMap, WithoutSlaveNodesWritesNothing)
{
    CDeviceConfig root;
    const AutoMapResult result = AutoMap(root);
    EXPECT_EQ(result.result, 1);
    EXPECT_EQ(result.message, "");
}

TEST(AutoMap, CursorsRunOnAcrossSlaveNodes)
{
    auto root = MakeConfig({{3, "4"}, {16, "2"}});
    CSlaveNode& second = AttachSlave(*root, {{4, "4"}, {5, "1", "3"}}, "2");
    ASSERT_EQ(root->Subnet().GetNodeCount(), 2);
    EXPECT_EQ(AutoMap(*root).result, 1);
    EXPECT_EQ(ValueOf(*second.GetCommandAt(0), CMD_ROW_MAP_ADDRESS), "0008H");
    EXPECT_EQ(ValueOf(*second.GetCommandAt(1), CMD_ROW_MAP_ADDRESS), "4004H");

    // The second node's commands count towards the area sizes too.
    auto over = MakeConfig({{3, "120"}});
    AttachSlave(*over, {{3, "3"}}, "2");
    const AutoMapResult result = AutoMap(*over);
    EXPECT_EQ(result.result, 0);
    EXPECT_EQ(result.message, GetLangString(5015));
}

TEST(AutoMap, RemapOverwritesHandSetAddresses)
{
    auto root = MakeConfig({{3, "2", "0", "0050H"}, {3, "2", "0", "0050H"}, {15, "8", "0", "0000H"}});
    for (const auto& command : FirstSlave(*root).Commands())
        SetValue(*command, CMD_ROW_BYTE_COUNT, "99");
    ASSERT_EQ(CheckMapping(*root), RESULT_MAPPING_CONFLICT);
    AutoMap(*root);
    const CSlaveNode& slave = FirstSlave(*root);
    EXPECT_EQ(ValueOf(*slave.GetCommandAt(0), CMD_ROW_MAP_ADDRESS), "0000H");
    EXPECT_EQ(ValueOf(*slave.GetCommandAt(1), CMD_ROW_MAP_ADDRESS), "0004H");
    EXPECT_EQ(ValueOf(*slave.GetCommandAt(2), CMD_ROW_MAP_ADDRESS), "4000H");
    EXPECT_EQ(ValueOf(*slave.GetCommandAt(2), CMD_ROW_BYTE_COUNT), "1");
    EXPECT_EQ(CheckMapping(*root), RESULT_OK);
}

TEST(MappingAddressText, FourUpperCaseDigitsAtLeast)
{
    const std::vector<std::pair<std::uint64_t, std::string>> rows = {
        {0, "0000H"}, {0x1A, "001AH"}, {0xF3, "00F3H"}, {0x40AB, "40ABH"}, {0xFFFF, "FFFFH"},
        {0x10000, "10000H"}, {0x1ABCDEF12ull, "1ABCDEF12H"},
    };
    for (const auto& [address, text] : rows)
        EXPECT_EQ(MappingAddressText(address), text);
}

// ---------------------------------------------------------------------------------------------
// GetMapping: where a command's data lie, read back from its items.

struct PlacementRow {
    CmdSpec cmd;
    int area;
    std::uint32_t start;
    std::int64_t bitOffset;
    std::int64_t bitCount;
    std::int64_t firstBit;
};

TEST(GetMapping, ReadsAreaAddressBitAndCount)
{
    const std::vector<PlacementRow> rows = {
        {{1, "5", "3", "0000H"}, AREA_INPUT, 0, 3, 5, 3},
        {{2, "9", "0", "0010H"}, AREA_INPUT, 0x10, 0, 9, 128},
        {{3, "1", "3", "0002H"}, AREA_INPUT, 2, 3, 16, 19},     // register commands keep their bit
        {{4, "84", "0", "00F3H"}, AREA_INPUT, 0xF3, 0, 1344, 1944},
        {{5, "9", "7", "4001H"}, AREA_OUTPUT, 0x4001, 7, 1, 15},  // one bit, N not used
        {{6, "2", "0", "4000H"}, AREA_OUTPUT, 0x4000, 0, 32, 0},
        {{15, "10", "2", "4010H"}, AREA_OUTPUT, 0x4010, 2, 10, 130},
        {{16, "2", "0", "4004H"}, AREA_OUTPUT, 0x4004, 0, 32, 32},
        {{7, "3", "0", "4002H"}, AREA_OUTPUT, 0x4002, 0, 48, 16},
        // Address texts: upper-cased, cut before the last H, four hex digits at most.
        {{2, "1", "0", "1ah"}, AREA_INPUT, 0x1A, 0, 1, 208},
        {{2, "1", "0", "1A"}, AREA_INPUT, 0, 0, 1, 0},
        {{2, "1", "0", ""}, AREA_INPUT, 0, 0, 1, 0},
        {{2, "1", "0", "H"}, AREA_INPUT, 0, 0, 1, 0},
        {{2, "1", "0", "12345H"}, AREA_INPUT, 0, 0, 1, 0},
        {{2, "1", "0", "10H20"}, AREA_INPUT, 0x10, 0, 1, 128},
        {{2, "1", "0", "1H2H"}, AREA_INPUT, 0x102, 0, 1, 0x102 * 8},
        {{2, "1", "0", "1ZH"}, AREA_INPUT, 0x10, 0, 1, 128},
        // An output command below 4000H lies below bit 0 of its area.
        {{16, "1", "0", "0010H"}, AREA_OUTPUT, 0x10, 0, 16, (0x10 - 0x4000) * 8},
        {{16, "1", "0", ""}, AREA_OUTPUT, 0, 0, 16, -0x4000 * 8},
        // Junk counts.
        {{1, "-5", "-5", "0001H"}, AREA_INPUT, 1, 0, 0, 8},
        {{3, "", "", "0001H"}, AREA_INPUT, 1, 0, 0, 8},
        {{3, "99999999999", "99999999999", "FFFFH"}, AREA_INPUT, 0xFFFF, 2147483647, 16ll * 2147483647,
         0xFFFFll * 8 + 2147483647},
    };
    for (const PlacementRow& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.cmd.code) + " N='" + row.cmd.count + "' b='" + row.cmd.bit +
                     "' at '" + row.cmd.address + "'");
        auto root = MakeConfig({row.cmd});
        const CommandMapping mapping = GetMapping(*FirstSlave(*root).GetCommandAt(0));
        EXPECT_EQ(mapping.area, row.area);
        EXPECT_EQ(mapping.startAddress, row.start);
        EXPECT_EQ(mapping.bitOffset, row.bitOffset);
        EXPECT_EQ(mapping.bitCount, row.bitCount);
        EXPECT_EQ(mapping.FirstBit(), row.firstBit);
    }
}

// ---------------------------------------------------------------------------------------------
// MarkUsage: the exact counters one command leaves in the map.

struct Span {
    int lo;
    int hi;
    std::uint32_t count;
};

struct UsageRow {
    CmdSpec cmd;
    int area;
    std::vector<Span> used;   // every other counter of both areas stays 0
};

TEST(MarkUsage, CountsExactlyTheCommandsBits)
{
    const std::vector<UsageRow> rows = {
        {{1, "5", "3", "0000H"}, AREA_INPUT, {{3, 7, 1}}},
        {{16, "2", "0", "4004H"}, AREA_OUTPUT, {{32, 63, 1}}},
        {{3, "1", "3", "0002H"}, AREA_INPUT, {{19, 34, 1}}},
        {{5, "9", "7", "4001H"}, AREA_OUTPUT, {{15, 15, 1}}},
        {{15, "10", "2", "4010H"}, AREA_OUTPUT, {{130, 139, 1}}},
        {{3, "0", "0", "0000H"}, AREA_INPUT, {}},
        {{4, "-5", "0", "0000H"}, AREA_INPUT, {}},
        {{2, "3", "-5", "0001H"}, AREA_INPUT, {{8, 10, 1}}},
        {{2, "3", "0", "1A"}, AREA_INPUT, {{0, 2, 1}}},
        // Past bit 1999 everything piles up at 1999.
        {{1, "100", "0", "00F0H"}, AREA_INPUT, {{1920, 1998, 1}, {1999, 1999, 21}}},
        {{1, "8", "99999999999", "0000H"}, AREA_INPUT, {{1999, 1999, 8}}},
        {{3, "99999999999", "0", "00F0H"}, AREA_INPUT, {{1920, 1998, 1}, {1999, 1999, kU32Max}}},
        {{16, "99999999999", "99999999999", "FFFFH"}, AREA_OUTPUT, {{1999, 1999, kU32Max}}},
        // Below bit 0 (an output command under 4000H) everything piles up at 0.
        {{6, "1", "0", "0000H"}, AREA_OUTPUT, {{0, 0, 16}}},
        {{16, "1", "0", "3FFFH"}, AREA_OUTPUT, {{0, 0, 9}, {1, 7, 1}}},
        {{15, "3", "0", "0010H"}, AREA_OUTPUT, {{0, 0, 3}}},
        {{16, "99999999999", "0", "0000H"}, AREA_OUTPUT, {{0, 0, 0x4000 * 8 + 1}, {1, 1998, 1}, {1999, 1999, kU32Max}}},
    };
    for (const UsageRow& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.cmd.code) + " N='" + row.cmd.count + "' b='" + row.cmd.bit +
                     "' at '" + row.cmd.address + "'");
        auto root = MakeConfig({row.cmd});
        UsageMap map;
        EXPECT_EQ(MarkUsage(*FirstSlave(*root).GetCommandAt(0), map), 0);
        UsageMap want;
        for (const Span& span : row.used) {
            for (int bit = span.lo; bit <= span.hi; ++bit)
                want.Area(row.area)[static_cast<std::size_t>(bit)] = span.count;
        }
        for (int area : {AREA_INPUT, AREA_OUTPUT}) {
            for (int bit = 0; bit < kCountedBits; ++bit) {
                const auto b = static_cast<std::size_t>(bit);
                ASSERT_EQ(map.Area(area)[b], want.Area(area)[b]) << "area " << area << " bit " << bit;
            }
        }
    }
}

TEST(MarkUsage, AddsToWhatTheMapHoldsAndSaturates)
{
    auto root = MakeConfig({{1, "4", "2", "0000H"}, {3, "99999999999", "0", "00F9H"}});
    UsageMap map;
    map.input[3] = 5;
    map.input[1999] = kU32Max - 1;
    BuildUsageMap(FirstSlave(*root), map);
    EXPECT_EQ(map.input[2], 1u);
    EXPECT_EQ(map.input[3], 6u);
    EXPECT_EQ(map.input[5], 1u);
    EXPECT_EQ(map.input[6], 0u);
    EXPECT_EQ(map.input[1991], 0u);
    EXPECT_EQ(map.input[1992], 1u);
    EXPECT_EQ(map.input[1999], kU32Max);
}

TEST(BuildUsageMap, SubnetCountsOnlyItsFirstSlaveNode)
{
    CDeviceConfig empty;
    UsageMap map;
    EXPECT_EQ(BuildUsageMap(empty.Subnet(), map), 0);
    EXPECT_EQ(CheckMapping(map), RESULT_OK);
    for (int bit = 0; bit < kCountedBits; ++bit)
        ASSERT_EQ(map.input[static_cast<std::size_t>(bit)] + map.output[static_cast<std::size_t>(bit)], 0u);

    // A second node from a file overlapping the first one is not part of the download.
    auto root = MakeConfig({{3, "2", "0", "0000H"}, {16, "2", "0", "4000H"}});
    AttachSlave(*root, {{3, "2", "0", "0000H"}, {16, "2", "0", "4000H"}}, "7");
    UsageMap two;
    BuildUsageMap(root->Subnet(), two);
    EXPECT_EQ(two.input[0], 1u);
    EXPECT_EQ(two.output[31], 1u);
    EXPECT_EQ(CheckMapping(*root), RESULT_OK);
}

// ---------------------------------------------------------------------------------------------
// CheckMapping: 11 for a bit used twice inside an area, else 13 for a bit past its end.

struct CheckRow {
    const char* name;
    std::vector<CmdSpec> cmds;
    ResultCode want;
};

TEST(CheckMapping, ConflictsAndOverflows)
{
    const std::vector<CheckRow> rows = {
        {"nothing", {}, RESULT_OK},
        {"adjacent registers", {{3, "1", "0", "0000H"}, {4, "1", "0", "0002H"}}, RESULT_OK},
        {"input registers overlap", {{3, "2", "0", "0000H"}, {4, "1", "0", "0003H"}}, RESULT_MAPPING_CONFLICT},
        {"input and output at the same offset", {{3, "1", "0", "0000H"}, {16, "1", "0", "4000H"}}, RESULT_OK},
        {"output coils overlap", {{5, "1", "3", "4000H"}, {15, "4", "0", "4000H"}}, RESULT_MAPPING_CONFLICT},
        {"output registers overlap", {{16, "2", "0", "4010H"}, {6, "1", "0", "4012H"}}, RESULT_MAPPING_CONFLICT},
        {"bit commands share a byte", {{1, "4", "0", "0005H"}, {2, "4", "4", "0005H"}}, RESULT_OK},
        {"bit commands share one bit", {{1, "5", "0", "0005H"}, {2, "4", "4", "0005H"}}, RESULT_MAPPING_CONFLICT},
        {"register bit offset pushes into the next", {{3, "1", "1", "0000H"}, {1, "1", "0", "0002H"}},
         RESULT_MAPPING_CONFLICT},
        {"input data ends at 00F3H", {{3, "1", "0", "00F2H"}}, RESULT_OK},
        {"input data one byte further", {{3, "1", "0", "00F3H"}}, RESULT_MAPPING_OVERFLOW},
        {"output data ends at 40F3H", {{16, "2", "0", "40F0H"}}, RESULT_OK},
        {"output data one byte further", {{16, "2", "0", "40F1H"}}, RESULT_MAPPING_OVERFLOW},
        {"bit 1951 used twice", {{1, "1", "7", "00F3H"}, {2, "1", "7", "00F3H"}}, RESULT_MAPPING_CONFLICT},
        {"bit 1952 used twice", {{1, "1", "0", "00F4H"}, {2, "1", "0", "00F4H"}}, RESULT_MAPPING_OVERFLOW},
        {"mapping bit 8 runs into 00F4H", {{5, "1", "8", "40F3H"}}, RESULT_MAPPING_OVERFLOW},
        {"conflict in output wins over overflow in input",
         {{3, "1", "0", "00F3H"}, {16, "1", "0", "4000H"}, {5, "1", "0", "4001H"}}, RESULT_MAPPING_CONFLICT},
        {"overflowing data overlapping inside the area", {{3, "10", "0", "00F0H"}, {4, "1", "0", "00F0H"}},
         RESULT_MAPPING_CONFLICT},
        {"huge count at the last byte", {{3, "99999999999", "0", "00F3H"}}, RESULT_MAPPING_OVERFLOW},
        {"huge mapping bit", {{1, "1", "99999999999", "0000H"}}, RESULT_MAPPING_OVERFLOW},
        {"output under 4000H piles up at bit 0", {{6, "1", "0", "0000H"}}, RESULT_MAPPING_CONFLICT},
        {"single output coil under 4000H", {{5, "1", "0", ""}}, RESULT_OK},
        {"empty counts occupy nothing", {{3, "", "0", "0000H"}, {4, "abc", "0", "0000H"}}, RESULT_OK},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = MakeConfig(row.cmds);
        UsageMap map;
        EXPECT_EQ(BuildUsageMap(root->Subnet(), map), 0);
        EXPECT_EQ(CheckMapping(map), row.want);
        EXPECT_EQ(CheckMapping(*root), row.want);
    }
}

TEST(CheckMapping, AutoMappedLayoutIsClean)
{
    auto root = MakeConfig({{1, "10", "3"}, {2, "7", "1"}, {3, "20"}, {4, "3"},
                            {5, "1", "6"}, {6, "1"}, {15, "33", "5"}, {16, "50"}});
    ASSERT_EQ(AutoMap(*root).result, 1);
    EXPECT_EQ(CheckMapping(*root), RESULT_OK);
}

// Sum of the counters of an area, and whether one of them is stuck at its limit.
struct AreaTotal {
    std::uint64_t sum = 0;
    bool saturated = false;
};

AreaTotal TotalOf(const UsageMap& map, int area)
{
    AreaTotal total;
    for (std::uint32_t count : map.Area(area)) {
        total.sum += count;
        total.saturated = total.saturated || count == kU32Max;
    }
    return total;
}

// Every bit of every command is counted exactly once somewhere in its area (clamped or not),
// unless a counter ran into its limit.
void ExpectAllBitsCounted(const CDeviceConfig& root)
{
    std::uint64_t want[2] = {0, 0};
    for (const auto& command : root.Subnet().GetNodeAt(0)->Commands()) {
        const CommandMapping mapping = GetMapping(*command);
        want[mapping.area] += static_cast<std::uint64_t>(mapping.bitCount);
    }
    UsageMap map;
    BuildUsageMap(root.Subnet(), map);
    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
        const AreaTotal total = TotalOf(map, area);
        if (total.saturated) {
            EXPECT_LE(total.sum, want[area]) << "area " << area;
        } else {
            EXPECT_EQ(total.sum, want[area]) << "area " << area;
        }
    }
    const ResultCode check = CheckMapping(map);
    EXPECT_TRUE(check == RESULT_OK || check == RESULT_MAPPING_CONFLICT || check == RESULT_MAPPING_OVERFLOW) << check;
}

// Garbage in any of the three mapping items, for every function code: the mapping, the usage
// map and its check stay within their arrays and lose no bits.
TEST(Mapping, JunkValuesStayInBounds)
{
    const std::vector<std::string> junk = {"", "abc", "99999999999", "-5", "-5H", "99999999999H", "FFFFFFFFH",
                                           " 12", "+3", "0x10H", "\xC4\xE3"};
    const std::vector<int> rows = {CMD_ROW_DATA_COUNT, CMD_ROW_MAP_BIT, CMD_ROW_MAP_ADDRESS};
    for (int code : {1, 2, 3, 4, 5, 6, 7, 15, 16}) {
        for (int item : rows) {
            for (const std::string& text : junk) {
                SCOPED_TRACE("code " + std::to_string(code) + " row " + std::to_string(item) + " '" + text + "'");
                CmdSpec spec{code, "9", "3", code <= 4 ? "0010H" : "4010H"};
                (item == CMD_ROW_DATA_COUNT ? spec.count : item == CMD_ROW_MAP_BIT ? spec.bit : spec.address) = text;
                auto root = MakeConfig({spec, spec, {code, "2", "1", spec.address}});
                ExpectAllBitsCounted(*root);
                const AutoMapResult result = AutoMap(*root);
                EXPECT_TRUE(result.result == 0 || result.result == 1);
                EXPECT_EQ(result.result == 1, result.message.empty());
                ExpectAllBitsCounted(*root);
            }
        }
    }
}

} // namespace
