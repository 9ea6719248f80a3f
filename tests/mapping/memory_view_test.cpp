// Bit classes and their colours, and the SVG memory map. The fault list is pinned through
// gatewaycfg check and map.

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
