// Automatic mapping, the bit usage map with its check, bit classes and the SVG memory map. Values
// are stored past the grid's rules, as a file may bring them. The fault list is pinned through
// gatewaycfg check and map.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "file/xml_shape_check.h"
#include "mapping/auto_map.h"
#include "mapping/memory_map_svg.h"
#include "mapping/usage_map.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"
#include "support/scratch_folder.h"

using test_config::MakeConfig;

namespace {

constexpr std::uint32_t kU32Max = std::numeric_limits<std::uint32_t>::max();

// A command of a code with "Number of Data", "Mapping Bit(0-7)" and "Mapping Address(HEX)".
test_config::CommandValues C(int code, std::string count = "1", std::string bit = "0", std::string address = "")
{
    return {code, "1", std::move(count), std::move(address), std::move(bit)};
}

CModbusCommand& Command(CDeviceConfig& root, int i) { return *root.Subnet().GetNodeAt(0)->GetCommandAt(i); }
std::string ValueOf(CDeviceConfig& root, int i, int row) { return test_config::ValueOf(Command(root, i).GetItemAt(row)); }

TEST(MapCommand, TakesWholeBytesAtItsAreasCursorAndReadsJunkAsNeverNegativeNeverWrapping)
{
    struct Row {
        test_config::CommandValues cmd;
        std::string bytes, nextAddress;   // "Number of Byte" written; a second command shows the cursor
    };
    const std::vector<Row> rows = {
        // Bit functions: (N + b) bits rounded up to whole bytes; registers 2 x N, the bit ignored.
        {C(1, "10", "3"), "2", "0002H"}, {C(2, "8"), "1", "0001H"}, {C(2, "8", "1"), "2", "0002H"},
        {C(3, "84"), "168", "00A8H"}, {C(4, "1", "5"), "2", "0002H"}, {C(5, "1", "7"), "1", "4001H"},
        {C(6), "2", "4002H"}, {C(15, "17"), "3", "4003H"},
        {C(7, "2"), "4", "4004H"},   // a code the module does not know: output registers
        // Texts from a file: their leading number, never below 0.
        {C(3, ""), "0", "0000H"}, {C(3, "-5"), "0", "0000H"}, {C(3, "12abc"), "24", "0018H"},
        {C(3, " 7"), "14", "000EH"}, {C(3, "+4"), "8", "0008H"},
        {C(3, "99999999999"), "4294967294", "FFFFFFFEH"},
        {C(1, "99999999999", "99999999999"), "536870912", "20000000H"}, {C(1, "-5", "-5"), "0", "0000H"},
        {C(5, "1", "99999999999"), "268435456", "10004000H"}, {C(16, "99999999999"), "4294967294", "100003FFEH"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.cmd.code) + " N='" + row.cmd.count + "' b='" + row.cmd.bit + "'");
        const bool input = row.cmd.code <= 4;
        auto root = MakeConfig({row.cmd, C(input ? 3 : 16)});
        MapCursors cursors;
        gw::MapCommands(*root->Subnet().GetNodeAt(0), cursors);
        EXPECT_EQ(ValueOf(*root, 0, CMD_ROW_MAP_ADDRESS), input ? "0000H" : "4000H");
        EXPECT_EQ(ValueOf(*root, 0, CMD_ROW_BYTE_COUNT), row.bytes);
        EXPECT_EQ(ValueOf(*root, 0, CMD_ROW_MAP_BIT), row.cmd.bit);
        EXPECT_EQ(ValueOf(*root, 1, CMD_ROW_MAP_ADDRESS), row.nextAddress);
        EXPECT_EQ(input ? cursors.input : cursors.output, std::stoull(row.bytes) + 2);
        EXPECT_EQ(input ? cursors.output : cursors.input, 0u);
    }
    auto bare = CModbusCommand::MakeEmpty("bare", FUNCTION_READ_HOLDING_REGISTER);   // a command a file brought without items
    MapCursors cursors{3, 4};
    gw::MapCommand(*bare, cursors);
    EXPECT_EQ(cursors.input + cursors.output, 7u);
}

TEST(AutoMap, AreaLimitsAndOverflowMessages)
{
    enum Msg { None, Input, Output };
    struct Row {
        const char* name;
        std::vector<test_config::CommandValues> cmds;
        Msg message;
        std::vector<std::string> addresses;   // of every command, in list order
    };
    const std::vector<Row> rows = {
        {"no commands", {}, None, {}},
        {"areas run side by side", {C(1, "10", "3"), C(5, "1", "7"), C(3, "84"), C(15, "9"), C(2)}, None,
         {"0000H", "4000H", "0002H", "4001H", "00AAH"}},
        {"input exactly 244 bytes", {C(3, "121"), C(1, "13", "3")}, None, {"0000H", "00F2H"}},
        {"input 245 bytes", {C(3, "121"), C(1, "14", "3")}, Input, {"0000H", "00F2H"}},
        {"last command alone past the end", {C(3, "122"), C(2)}, Input, {"0000H", "00F4H"}},
        {"output exactly 244 bytes", {C(16, "121"), C(15, "9", "7")}, None, {"4000H", "40F2H"}},
        {"output 245 bytes", {C(16, "122"), C(5)}, Output, {"4000H", "40F4H"}},
        {"both over: only the input is reported", {C(16, "123"), C(3, "123")}, Input, {"4000H", "0000H"}},
        {"negative counts take nothing", {C(3, "-5"), C(1, "-5", "-5"), C(16, "-5")}, None,
         {"0000H", "0000H", "4000H"}},
        {"hand-set addresses are overwritten", {C(3, "2", "0", "0050H"), C(4, "2", "0", "0050H")}, None, {"0000H", "0004H"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = MakeConfig(row.cmds);
        const AutoMapResult result = gw::AutoMap(*root);
        EXPECT_EQ(result.result, row.message == None ? 1 : 0);
        EXPECT_EQ(result.message, row.message == None ? "" : gw::GetLangString(row.message == Input ? MessageText::InputOverflow : MessageText::OutputOverflow));
        for (std::size_t i = 0; i < row.addresses.size(); ++i)
            EXPECT_EQ(ValueOf(*root, static_cast<int>(i), CMD_ROW_MAP_ADDRESS), row.addresses[i]) << "command " << i;
        if (row.message == None) {
            EXPECT_EQ(gw::CheckMapping(*root), RESULT_OK);
        }
    }
    CDeviceConfig empty;
    EXPECT_EQ(gw::AutoMap(empty).result, 1);
}

TEST(MarkUsage, CountsExactlyTheCommandsBitsAndPilesUpAtTheEnds)
{
    struct Span {
        int lo, hi;
        std::uint32_t count;
    };
    struct Row {
        test_config::CommandValues cmd;
        int area;
        std::vector<Span> used;   // every other counter of both areas stays 0
    };
    const std::vector<Row> rows = {
        {C(1, "5", "3", "0000H"), AREA_INPUT, {{3, 7, 1}}},      {C(16, "2", "0", "4004H"), AREA_OUTPUT, {{32, 63, 1}}},
        {C(3, "1", "3", "0002H"), AREA_INPUT, {{19, 34, 1}}},    // register commands keep their bit
        {C(5, "1", "7", "4001H"), AREA_OUTPUT, {{15, 15, 1}}},   {C(15, "10", "2", "4010H"), AREA_OUTPUT, {{130, 139, 1}}},
        {C(7, "3", "0", "4002H"), AREA_OUTPUT, {{16, 63, 1}}},   {C(4, "-5", "0", "0000H"), AREA_INPUT, {}},
        // Address texts: upper-cased, cut before the last H, four hex digits at most.
        {C(2, "1", "0", "1ah"), AREA_INPUT, {{208, 208, 1}}},    {C(2, "1", "0", "12345H"), AREA_INPUT, {{0, 0, 1}}},
        {C(2, "1", "0", "1H2H"), AREA_INPUT, {{1999, 1999, 1}}}, {C(2, "1", "0", "1ZH"), AREA_INPUT, {{128, 128, 1}}},
        {C(2, "3", "-5", "1A"), AREA_INPUT, {{0, 2, 1}}},
        // Past bit 1999 everything piles up at 1999; below bit 0 at 0.
        {C(1, "100", "0", "00F0H"), AREA_INPUT, {{1920, 1998, 1}, {1999, 1999, 21}}},
        {C(3, "99999999999", "0", "00F0H"), AREA_INPUT, {{1920, 1998, 1}, {1999, 1999, kU32Max}}},
        {C(16, "1", "0", "3FFFH"), AREA_OUTPUT, {{0, 0, 9}, {1, 7, 1}}},
        {C(16, "99999999999", "0", "0000H"), AREA_OUTPUT, {{0, 0, 0x4000 * 8 + 1}, {1, 1998, 1}, {1999, 1999, kU32Max}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.cmd.code) + " N='" + row.cmd.count + "' at '" + row.cmd.address + "'");
        auto root = MakeConfig({row.cmd});
        UsageMap map, want;
        EXPECT_EQ(gw::MarkUsage(Command(*root, 0), map), 0);
        for (const Span& span : row.used) {
            for (int bit = span.lo; bit <= span.hi; ++bit)
                want.Area(row.area)[static_cast<std::size_t>(bit)] = span.count;
        }
        EXPECT_TRUE(map.input == want.input && map.output == want.output);
    }
}

TEST(CheckMapping, ConflictsThenOverflows)
{
    struct Row {
        const char* name;
        std::vector<test_config::CommandValues> cmds;
        ResultCode want;
    };
    const std::vector<Row> rows = {
        {"nothing", {}, RESULT_OK},
        {"adjacent registers", {C(3, "1", "0", "0000H"), C(4, "1", "0", "0002H")}, RESULT_OK},
        {"input registers overlap", {C(3, "2", "0", "0000H"), C(4, "1", "0", "0003H")}, RESULT_MAPPING_CONFLICT},
        {"input and output at the same offset", {C(3, "1", "0", "0000H"), C(16, "1", "0", "4000H")}, RESULT_OK},
        {"output coils overlap", {C(5, "1", "3", "4000H"), C(15, "4", "0", "4000H")}, RESULT_MAPPING_CONFLICT},
        {"bit commands share a byte", {C(1, "4", "0", "0005H"), C(2, "4", "4", "0005H")}, RESULT_OK},
        {"bit commands share one bit", {C(1, "5", "0", "0005H"), C(2, "4", "4", "0005H")}, RESULT_MAPPING_CONFLICT},
        {"register bit offset pushes into the next", {C(3, "1", "1", "0000H"), C(1, "1", "0", "0002H")},
         RESULT_MAPPING_CONFLICT},
        {"input data ends at 00F3H", {C(3, "1", "0", "00F2H")}, RESULT_OK},
        {"input data one byte further", {C(3, "1", "0", "00F3H")}, RESULT_MAPPING_OVERFLOW},
        {"output data ends at 40F3H", {C(16, "2", "0", "40F0H")}, RESULT_OK},
        {"output data one byte further", {C(16, "2", "0", "40F1H")}, RESULT_MAPPING_OVERFLOW},
        {"bit 1952 used twice", {C(1, "1", "0", "00F4H"), C(2, "1", "0", "00F4H")}, RESULT_MAPPING_OVERFLOW},
        {"conflict in output wins over overflow in input",
         {C(3, "1", "0", "00F3H"), C(16, "1", "0", "4000H"), C(5, "1", "0", "4001H")}, RESULT_MAPPING_CONFLICT},
        {"huge mapping bit", {C(1, "1", "99999999999", "0000H")}, RESULT_MAPPING_OVERFLOW},
        {"output under 4000H piles up at bit 0", {C(6, "1", "0", "0000H")}, RESULT_MAPPING_CONFLICT},
        {"single output coil under 4000H", {C(5, "1", "0", "")}, RESULT_OK},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = MakeConfig(row.cmds);
        UsageMap map;
        EXPECT_EQ(gw::BuildUsageMap(root->Subnet(), map), 0);
        EXPECT_EQ(gw::CheckMapping(map), row.want);
        EXPECT_EQ(gw::CheckMapping(*root), row.want);
    }
}

// Garbage in any of the three mapping items, for every function code: the mapping, the usage map
// and its check stay within their arrays and count every bit once, unless a counter saturated.
TEST(Mapping, JunkValuesStayInBoundsAndLoseNoBits)
{
    const std::vector<std::string> junk = {"", "abc", "99999999999", "-5", "-5H", "FFFFFFFFH", " 12", "\xC4\xE3"};
    for (int code : {1, 2, 3, 4, 5, 6, 7, 15, 16}) {
        for (int item : {0, 1, 2}) {
            for (const std::string& text : junk) {
                SCOPED_TRACE("code " + std::to_string(code) + " item " + std::to_string(item) + " '" + text + "'");
                test_config::CommandValues cmd = C(code, "9", "3", code <= 4 ? "0010H" : "4010H");
                (item == 0 ? cmd.count : item == 1 ? cmd.bit : cmd.address) = text;
                auto root = MakeConfig({cmd, cmd, C(code, "2", "1", cmd.address)});
                for (int pass = 0; pass < 2; ++pass) {
                    std::uint64_t want[2] = {0, 0};
                    for (int i = 0; i < 3; ++i) {
                        const CommandMapping mapping = gw::GetMapping(Command(*root, i));
                        want[mapping.area] += static_cast<std::uint64_t>(mapping.bitCount);
                    }
                    UsageMap map;
                    gw::BuildUsageMap(root->Subnet(), map);
                    for (int area : {AREA_INPUT, AREA_OUTPUT}) {
                        std::uint64_t sum = 0;
                        bool saturated = false;
                        for (std::uint32_t count : map.Area(area)) {
                            sum += count;
                            saturated = saturated || count == kU32Max;
                        }
                        EXPECT_TRUE(saturated ? sum <= want[area] : sum == want[area]) << "area " << area;
                    }
                    gw::CheckMapping(map);
                    const AutoMapResult result = gw::AutoMap(*root);
                    EXPECT_EQ(result.result == 1, result.message.empty());
                }
            }
        }
    }
}

TEST(ClassifyBit, ClassesAndColours)
{
        struct Row {
        int bit;
        std::uint32_t count;
        BitClass cls;
        std::uint32_t colour;   // 0xBBGGRR, as the grid and the dialog take it
    };
    const std::vector<Row> rows = {
        {0, 0, BitClass::Unused, 0xFFFFFF},     {1999, 0, BitClass::Unused, 0xFFFFFF},
        {1951, 1, BitClass::Legal, 0xC8C8C8},   {0, 2, BitClass::Conflict, 0x0000FF},
        {1951, kU32Max, BitClass::Conflict, 0x0000FF},
        {1952, 1, BitClass::Overflow, 0x00FFFF},   // past the area's end however often it is used
        {1999, kU32Max, BitClass::Overflow, 0x00FFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("bit " + std::to_string(row.bit) + " count " + std::to_string(row.count));
        EXPECT_EQ(gw::ClassifyBit(row.bit, row.count), row.cls);
        EXPECT_EQ(gw::BitClassColour(row.cls), row.colour);
    }
}

TEST(MemoryMapSvg, DrawsEveryCountedBitInItsClassAndColour)
{
    // The dialog's palette: grey legal, red conflict, yellow overflow; the legend shows each once.
    const std::string kLegal = "fill=\"#c8c8c8\"", kConflict = "fill=\"#ff0000\"", kOverflow = "fill=\"#ffff00\"";
    struct Row {
        const char* name;
        std::vector<test_config::CommandValues> cmds;
        std::size_t legal, conflict, overflow;   // cells of each class, both areas together
    };
    const std::vector<Row> rows = {
        {"empty", {}, 0, 0, 0},
        {"one register each", {C(3, "1", "0", "0000H"), C(16, "1", "0", "4010H")}, 32, 0, 0},
        {"huge count", {C(4, "99999999999", "0", "0000H")}, 1952, 0, 48},
        {"conflict and overflow", {C(2, "4", "4", "00F3H"), C(1, "3", "6", "00F3H"), C(5, "1", "0", "4000H")}, 3, 2, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string svg = gw::RenderMemoryMapSvg(test_config::MakeConfig(row.cmds)->Subnet());
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_TRUE(gw::CheckXmlShape(svg).ok) << gw::CheckXmlShape(svg).message;
        // Two areas of 2000 bits, one background and four legend boxes.
        EXPECT_EQ(Count(svg, "<rect"), 2u * kCountedBits + 1 + 4);
        EXPECT_EQ(Count(svg, "class=\"past\""), 2u * (kCountedBits - kAreaBits));
        EXPECT_EQ(Count(svg, kLegal), row.legal + 1);
        EXPECT_EQ(Count(svg, kConflict), row.conflict + 1);
        EXPECT_EQ(Count(svg, kOverflow), row.overflow + 1);
    }
    // Bit 2 of output byte 3 used twice: the red cell carries its place in its title.
    const std::string svg = gw::RenderMemoryMapSvg(
        test_config::MakeConfig({C(5, "1", "2", "4003H"), C(15, "3", "0", "4003H")})->Subnet());
    const std::size_t title = svg.find("<title>bit 2 of byte 3, used 2x</title>");
    ASSERT_NE(title, std::string::npos);
    const std::size_t rect = svg.rfind("<rect", title);
    EXPECT_NE(svg.substr(rect, title - rect).find(kConflict), std::string::npos);
    EXPECT_LT(svg.find(">Not use<"), svg.find(">Legal <"));
    EXPECT_LT(svg.find(">Legal <"), svg.find(">Conflict<"));
    EXPECT_LT(svg.find(">Conflict<"), svg.find(">Overflow<"));
}

} // namespace
