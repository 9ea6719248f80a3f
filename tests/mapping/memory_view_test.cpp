// Bit classification, the fault list with the commands involved, and the SVG memory map.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "mapping/memory_map_svg.h"
#include "mapping/usage_map.h"
#include "mapping_test_support.h"

using namespace mapping_test;

namespace {

TEST(ClassifyBit, ClassesAndColours)
{
    struct Row {
        int bit;
        std::uint32_t count;
        BitClass cls;
        std::uint32_t colour;
    };
    const std::vector<Row> rows = {
        {0, 0, BitClass::Unused, 0xFFFFFF},
        {1999, 0, BitClass::Unused, 0xFFFFFF},
        {0, 1, BitClass::Legal, 0xC8C8C8},
        {1951, 1, BitClass::Legal, 0xC8C8C8},
        {0, 2, BitClass::Conflict, 0x0000FF},
        {1951, std::numeric_limits<std::uint32_t>::max(), BitClass::Conflict, 0x0000FF},
        // Past the area's end a bit is an overflow however often it is used.
        {1952, 1, BitClass::Overflow, 0x00FFFF},
        {1952, 7, BitClass::Overflow, 0x00FFFF},
        {1999, std::numeric_limits<std::uint32_t>::max(), BitClass::Overflow, 0x00FFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("bit " + std::to_string(row.bit) + " count " + std::to_string(row.count));
        EXPECT_EQ(ClassifyBit(row.bit, row.count), row.cls);
        EXPECT_EQ(BitClassColour(ClassifyBit(row.bit, row.count)), row.colour);
    }
}

// ---------------------------------------------------------------------------------------------
// FindMappingFaults: every faulty bit with the positions of the commands that use it.

struct FaultSpan {
    int area;
    int lo;
    int hi;
    BitClass cls;
    std::vector<int> commands;
};

struct FaultRow {
    const char* name;
    std::vector<CmdSpec> cmds;
    std::vector<FaultSpan> faults;   // input area first, in bit order
};

TEST(FindMappingFaults, ListsBitsAndCommandsInvolved)
{
    const std::vector<FaultRow> rows = {
        {"clean", {{3, "1", "0", "0000H"}, {16, "1", "0", "4000H"}}, {}},
        {"register and coils overlap in one byte",
         {{3, "1", "0", "0000H"}, {1, "8", "0", "0001H"}, {16, "1", "0", "4000H"}},
         {{AREA_INPUT, 8, 15, BitClass::Conflict, {0, 1}}}},
        {"three commands on one bit",
         {{15, "2", "0", "4000H"}, {5, "1", "1", "4000H"}, {16, "1", "0", "4002H"}, {6, "1", "1", "4000H"}},
         {{AREA_OUTPUT, 1, 1, BitClass::Conflict, {0, 1, 3}}, {AREA_OUTPUT, 16, 16, BitClass::Conflict, {2, 3}}}},
        {"one byte past the input area", {{4, "1", "0", "00F3H"}}, {{AREA_INPUT, 1952, 1959, BitClass::Overflow, {0}}}},
        {"huge count and a bit at 1999",
         {{2, "1", "7", "00F9H"}, {1, "99999999999", "0", "00F0H"}},
         {{AREA_INPUT, 1952, 1998, BitClass::Overflow, {1}}, {AREA_INPUT, 1999, 1999, BitClass::Overflow, {0, 1}}}},
        {"two output commands under 4000H pile up at bit 0",
         {{16, "1", "0", "3FFFH"}, {6, "1", "0", "0000H"}},
         {{AREA_OUTPUT, 0, 0, BitClass::Conflict, {0, 1}}}},
        {"output from under 4000H into it: listed once at bit 0",
         {{16, "1", "0", "3FFFH"}},
         {{AREA_OUTPUT, 0, 0, BitClass::Conflict, {0}}}},
        {"input faults before output faults",
         {{16, "1", "0", "40F4H"}, {3, "1", "0", "0000H"}, {4, "1", "0", "0001H"}},
         {{AREA_INPUT, 8, 15, BitClass::Conflict, {1, 2}}, {AREA_OUTPUT, 1952, 1967, BitClass::Overflow, {0}}}},
    };
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = MakeConfig(row.cmds);
        std::vector<MappingFault> want;
        for (const FaultSpan& span : row.faults) {
            for (int bit = span.lo; bit <= span.hi; ++bit)
                want.push_back({span.area, bit, span.cls, span.commands});
        }
        const std::vector<MappingFault> got = FindMappingFaults(root->Subnet());
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE("fault " + std::to_string(i));
            EXPECT_EQ(got[i].area, want[i].area);
            EXPECT_EQ(got[i].bit, want[i].bit);
            EXPECT_EQ(got[i].cls, want[i].cls);
            EXPECT_EQ(got[i].commands, want[i].commands);
        }
    }
}

TEST(FindMappingFaults, IgnoresFurtherSlaveNodes)
{
    auto root = MakeConfig({{3, "1", "0", "0000H"}});
    AttachSlave(*root, {{3, "1", "0", "0000H"}, {4, "1", "0", "00F3H"}}, "2");
    EXPECT_TRUE(FindMappingFaults(root->Subnet()).empty());
    CDeviceConfig empty;
    EXPECT_TRUE(FindMappingFaults(empty.Subnet()).empty());
    EXPECT_EQ(BuildOccupancy(empty.Subnet()).input.commands[0].size(), 0u);
}

// ---------------------------------------------------------------------------------------------
// The SVG picture.

std::size_t CountOf(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// A small check of XML structure: every element closed in order, attribute quotes balanced,
// no stray '<' or '&' in text.
::testing::AssertionResult WellFormed(const std::string& xml)
{
    std::vector<std::string> open;
    std::size_t i = 0;
    if (xml.rfind("<?xml", 0) != 0)
        return ::testing::AssertionFailure() << "no XML declaration";
    i = xml.find("?>");
    if (i == std::string::npos)
        return ::testing::AssertionFailure() << "unterminated declaration";
    i += 2;
    int roots = 0;
    while (i < xml.size()) {
        if (xml[i] == '&') {
            const std::size_t semi = xml.find(';', i);
            if (semi == std::string::npos || semi - i > 8)
                return ::testing::AssertionFailure() << "bare & at " << i;
            i = semi + 1;
            continue;
        }
        if (xml[i] != '<') {
            if (open.empty() && !std::isspace(static_cast<unsigned char>(xml[i])))
                return ::testing::AssertionFailure() << "text outside the root at " << i;
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        bool quoted = false;
        while (end < xml.size() && (quoted || xml[end] != '>')) {
            if (xml[end] == '"')
                quoted = !quoted;
            else if (xml[end] == '<' && !quoted)
                return ::testing::AssertionFailure() << "'<' inside a tag at " << end;
            ++end;
        }
        if (end >= xml.size())
            return ::testing::AssertionFailure() << "unterminated tag at " << i;
        const std::string tag = xml.substr(i + 1, end - i - 1);
        if (tag.empty())
            return ::testing::AssertionFailure() << "empty tag at " << i;
        if (tag[0] == '/') {
            const std::string name = tag.substr(1);
            if (open.empty() || open.back() != name)
                return ::testing::AssertionFailure() << "</" << name << "> closes "
                                                     << (open.empty() ? "nothing" : open.back());
            open.pop_back();
        } else {
            const std::string name = tag.substr(0, tag.find_first_of(" \t\n/"));
            if (open.empty() && ++roots > 1)
                return ::testing::AssertionFailure() << "second root element <" << name << ">";
            if (tag.back() != '/')
                open.push_back(name);
        }
        i = end + 1;
    }
    if (!open.empty())
        return ::testing::AssertionFailure() << "<" << open.back() << "> never closed";
    return roots == 1 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "no root element";
}

// The memory map dialog's palette: grey legal, red conflict, yellow overflow.
const std::string kFillLegal = "fill=\"#c8c8c8\"";
const std::string kFillConflict = "fill=\"#ff0000\"";
const std::string kFillOverflow = "fill=\"#ffff00\"";

TEST(MemoryMapSvg, DrawsEveryCountedBitInItsClass)
{
    struct Row {
        const char* name;
        std::vector<CmdSpec> cmds;
        std::size_t legal, conflict, overflow;   // cells of each class, both areas together
    };
    const std::vector<Row> rows = {
        {"empty", {}, 0, 0, 0},
        {"one register each", {{3, "1", "0", "0000H"}, {16, "1", "0", "4010H"}}, 32, 0, 0},
        {"one conflicting byte", {{3, "1", "0", "0000H"}, {1, "8", "0", "0001H"}}, 8, 8, 0},
        {"output overflow", {{16, "1", "0", "40F3H"}}, 8, 0, 8},
        {"huge count", {{4, "99999999999", "0", "0000H"}}, 1952, 0, 48},
        {"conflict and overflow", {{2, "4", "4", "00F3H"}, {1, "3", "6", "00F3H"}, {5, "1", "0", "4000H"}}, 3, 2, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto root = MakeConfig(row.cmds);
        const std::string svg = RenderMemoryMapSvg(root->Subnet());
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_NE(svg.find("<svg"), std::string::npos);
        EXPECT_TRUE(WellFormed(svg));
        // Two areas of 2000 bits, one background and four legend boxes.
        EXPECT_EQ(CountOf(svg, "<rect"), 2u * kCountedBits + 1 + 4);
        EXPECT_EQ(CountOf(svg, "class=\"past\""), 2u * (kCountedBits - kAreaBits));
        // The legend shows each class once.
        EXPECT_EQ(CountOf(svg, kFillLegal), row.legal + 1);
        EXPECT_EQ(CountOf(svg, kFillConflict), row.conflict + 1);
        EXPECT_EQ(CountOf(svg, kFillOverflow), row.overflow + 1);
    }
}

TEST(MemoryMapSvg, ConflictCellIsRedAtItsBit)
{
    // Bit 2 of byte 3 of the output area used twice.
    auto root = MakeConfig({{5, "1", "2", "4003H"}, {15, "3", "0", "4003H"}});
    const std::string svg = RenderMemoryMapSvg(root->Subnet());
    const std::size_t title = svg.find("<title>bit 2 of byte 3, used 2x</title>");
    ASSERT_NE(title, std::string::npos);
    const std::size_t rect = svg.rfind("<rect", title);
    ASSERT_NE(rect, std::string::npos);
    EXPECT_NE(svg.substr(rect, title - rect).find(kFillConflict), std::string::npos);
    EXPECT_NE(svg.find("<title>bit 1 of byte 3, used 1x</title>"), std::string::npos);
    // The dialog's legend, in its order.
    const std::size_t legend = svg.find(">Not use<");
    ASSERT_NE(legend, std::string::npos);
    EXPECT_LT(legend, svg.find(">Legal <"));
    EXPECT_LT(svg.find(">Legal <"), svg.find(">Conflict<"));
    EXPECT_LT(svg.find(">Conflict<"), svg.find(">Overflow<"));
}

} // namespace
