#include "mapping/memory_map_svg.h"

#include <cstdio>
#include <sstream>

#include "mapping/auto_map.h"
#include "mapping/usage_map.h"
#include "model/subnet_node.h"

namespace {

constexpr int kCell = 12;            // one bit
constexpr int kHeaderWidth = 48;     // row address column
constexpr int kBitsPerRow = 32;      // four bytes a row, as the memory map dialog shows them
constexpr int kRows = (kCountedBits + kBitsPerRow - 1) / kBitsPerRow;
constexpr int kAreaWidth = kHeaderWidth + kBitsPerRow * kCell;
constexpr int kAreaHeight = 20 + kRows * kCell;
constexpr int kGap = 36;

std::string Fill(BitClass cls)
{
    return gw::ColourHex(gw::BitClassColour(cls));
}

void DrawArea(std::ostream& svg, const char* title, unsigned base, const std::array<std::uint32_t, kCountedBits>& counters,
              int x0, int y0)
{
    svg << "<text x=\"" << x0 + kHeaderWidth << "\" y=\"" << y0 + 12 << "\" class=\"title\">" << title << "</text>\n";
    const int top = y0 + 20;
    for (int row = 0; row < kRows; ++row) {
        char address[8];
        std::snprintf(address, sizeof address, "%4.4X", base + static_cast<unsigned>(row) * 4);
        svg << "<text x=\"" << x0 + kHeaderWidth - 4 << "\" y=\"" << top + row * kCell + kCell - 2
            << "\" class=\"addr\">" << address << "</text>\n";
        for (int column = 0; column < kBitsPerRow; ++column) {
            const int bit = row * kBitsPerRow + column;
            if (bit >= kCountedBits)
                break;
            const BitClass cls = gw::ClassifyBit(bit, counters[static_cast<std::size_t>(bit)]);
            svg << "<rect x=\"" << x0 + kHeaderWidth + column * kCell << "\" y=\"" << top + row * kCell
                << "\" width=\"" << kCell << "\" height=\"" << kCell << "\" fill=\"" << Fill(cls) << "\""
                << (bit >= kAreaBits ? " class=\"past\"" : "") << "><title>bit " << bit % 8 << " of byte "
                << bit / 8 << ", used " << counters[static_cast<std::size_t>(bit)] << "x</title></rect>\n";
        }
    }
    // The end of the area: bits past it only catch overflowing data.
    const int endRow = kAreaBits / kBitsPerRow;
    svg << "<line x1=\"" << x0 + kHeaderWidth << "\" y1=\"" << top + endRow * kCell << "\" x2=\""
        << x0 + kHeaderWidth + kBitsPerRow * kCell << "\" y2=\"" << top + endRow * kCell << "\" class=\"end\"/>\n";
}

} // namespace

std::string gw::RenderMemoryMapSvg(const CSubnetNode& subnet)
{
    UsageMap map;
    BuildUsageMap(subnet, map);

    const int width = 2 * kAreaWidth + kGap + 20;
    const int height = kAreaHeight + 60;
    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n"
        << "<style>text{font-family:sans-serif;font-size:10px}.title{font-size:13px;font-weight:bold}"
           ".addr{text-anchor:end;font-family:monospace}rect{stroke:#b0b0b0;stroke-width:0.5}"
           "rect.past{stroke:#808080;stroke-dasharray:2 1}.end{stroke:#000;stroke-width:1.5}</style>\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << width << "\" height=\"" << height << "\" fill=\"#f4f4f4\" stroke=\"none\"/>\n";
    DrawArea(svg, "Input Memory (0000H-00F3H)", 0, map.input, 10, 10);
    DrawArea(svg, "Output Memory (4000H-40F3H)", kOutputAreaBase, map.output, 10 + kAreaWidth + kGap, 10);

    const int legendY = kAreaHeight + 30;
    int x = 10 + kHeaderWidth;
    // The dialog's legend, without the selected command: a picture has no selection.
    for (std::size_t i = 0; i + 1 < kMemoryMapLegend.size(); ++i) {
        const LegendEntry& entry = kMemoryMapLegend[i];
        svg << "<rect x=\"" << x << "\" y=\"" << legendY << "\" width=\"" << kCell << "\" height=\"" << kCell
            << "\" fill=\"" << gw::ColourHex(entry.colour) << "\"/>"
            << "<text x=\"" << x + kCell + 4 << "\" y=\"" << legendY + kCell - 2 << "\">" << entry.label << "</text>\n";
        x += 90;
    }
    svg << "</svg>\n";
    return svg.str();
}
