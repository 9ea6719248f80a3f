// Bit classes and their colours, the fault list with the commands involved, and the SVG memory map.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "file/xml_shape_check.h"
#include "mapping/memory_map_svg.h"
#include "mapping/usage_map.h"
#include "support/config_builder.h"

namespace {

test_config::CommandSpec C(int code, std::string count, std::string bit, std::string address)
{
    return {code, "1", std::move(count), std::move(address), std::move(bit)};
}

TEST(ClassifyBit, ClassesAndColours)
{
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    struct Row {
        int bit;
        std::uint32_t count;
        BitClass cls;
        std::uint32_t colour;   // 0xBBGGRR, as the grid and the dialog take it
    };
    const std::vector<Row> rows = {
        {0, 0, BitClass::Unused, 0xFFFFFF},     {1999, 0, BitClass::Unused, 0xFFFFFF},
        {1951, 1, BitClass::Legal, 0xC8C8C8},   {0, 2, BitClass::Conflict, 0x0000FF},
        {1951, kMax, BitClass::Conflict, 0x0000FF},
        {1952, 1, BitClass::Overflow, 0x00FFFF},   // past the area's end however often it is used
        {1999, kMax, BitClass::Overflow, 0x00FFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("bit " + std::to_string(row.bit) + " count " + std::to_string(row.count));
        EXPECT_EQ(ClassifyBit(row.bit, row.count), row.cls);
        EXPECT_EQ(BitClassColour(row.cls), row.colour);
    }
}

TEST(FindMappingFaults, ListsBitsAndCommandsInvolved)
{
    struct FaultSpan {
        int area, lo, hi;
        BitClass cls;
        std::vector<int> commands;
    };
    struct Row {
        const char* name;
        std::vector<test_config::CommandSpec> cmds;
        std::vector<FaultSpan> faults;   // input area first, in bit order
    };
    const BitClass X = BitClass::Conflict, O = BitClass::Overflow;
    const std::vector<Row> rows = {
        {"clean", {C(3, "1", "0", "0000H"), C(16, "1", "0", "4000H")}, {}},
        {"three commands on one bit",
         {C(15, "2", "0", "4000H"), C(5, "1", "1", "4000H"), C(16, "1", "0", "4002H"), C(6, "1", "1", "4000H")},
         {{AREA_OUTPUT, 1, 1, X, {0, 1, 3}}, {AREA_OUTPUT, 16, 16, X, {2, 3}}}},
        {"huge count and a bit at 1999", {C(2, "1", "7", "00F9H"), C(1, "99999999999", "0", "00F0H")},
         {{AREA_INPUT, 1952, 1998, O, {1}}, {AREA_INPUT, 1999, 1999, O, {0, 1}}}},
        {"output from under 4000H into it: listed once at bit 0", {C(16, "1", "0", "3FFFH")},
         {{AREA_OUTPUT, 0, 0, X, {0}}}},
        {"input faults before output faults",
         {C(16, "1", "0", "40F4H"), C(3, "1", "0", "0000H"), C(4, "1", "0", "0001H")},
         {{AREA_INPUT, 8, 15, X, {1, 2}}, {AREA_OUTPUT, 1952, 1967, O, {0}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = test_config::MakeConfig(row.cmds);
        auto second = std::make_unique<CSlaveNode>("Node(2)");   // further nodes are not downloaded
        test_config::AddCommand(*second, C(4, "1", "0", "00F3H"));
        root->Subnet().AttachNode(std::move(second));
        std::vector<std::string> want, got;
        for (const FaultSpan& span : row.faults) {
            for (int bit = span.lo; bit <= span.hi; ++bit) {
                for (int command : span.commands)
                    want.push_back(std::to_string(span.area) + ":" + std::to_string(bit) + ":" +
                                   std::to_string(static_cast<int>(span.cls)) + ":" + std::to_string(command));
            }
        }
        for (const MappingFault& fault : FindMappingFaults(root->Subnet())) {
            for (int command : fault.commands)
                got.push_back(std::to_string(fault.area) + ":" + std::to_string(fault.bit) + ":" +
                              std::to_string(static_cast<int>(fault.cls)) + ":" + std::to_string(command));
        }
        EXPECT_EQ(got, want);
    }
}

std::size_t CountOf(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

TEST(MemoryMapSvg, DrawsEveryCountedBitInItsClassAndColour)
{
    // The dialog's palette: grey legal, red conflict, yellow overflow; the legend shows each once.
    const std::string kLegal = "fill=\"#c8c8c8\"", kConflict = "fill=\"#ff0000\"", kOverflow = "fill=\"#ffff00\"";
    struct Row {
        const char* name;
        std::vector<test_config::CommandSpec> cmds;
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
        const std::string svg = RenderMemoryMapSvg(test_config::MakeConfig(row.cmds)->Subnet());
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_TRUE(CheckXmlShape(svg).ok) << CheckXmlShape(svg).message;
        // Two areas of 2000 bits, one background and four legend boxes.
        EXPECT_EQ(CountOf(svg, "<rect"), 2u * kCountedBits + 1 + 4);
        EXPECT_EQ(CountOf(svg, "class=\"past\""), 2u * (kCountedBits - kAreaBits));
        EXPECT_EQ(CountOf(svg, kLegal), row.legal + 1);
        EXPECT_EQ(CountOf(svg, kConflict), row.conflict + 1);
        EXPECT_EQ(CountOf(svg, kOverflow), row.overflow + 1);
    }
    // Bit 2 of output byte 3 used twice: the red cell carries its place in its title.
    const std::string svg = RenderMemoryMapSvg(
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
