#include "report/io_list_formats.h"

#include "report/report_texts.h"

namespace {

// A table cell: one line, its bars escaped.
std::string Cell(const std::string& text)
{
    std::string cell;
    for (const char c : text) {
        if (c == '\r')
            continue;
        if (c == '|' || c == '\\')
            cell += '\\';
        cell += c == '\n' ? ' ' : c;
    }
    return cell;
}

std::string Line(const std::vector<std::string>& cells)
{
    std::string line = "|";
    for (const std::string& cell : cells)
        line += " " + Cell(cell) + " |";
    return line + "\n";
}

} // namespace

std::string gw::IoListMarkdown(const IoList& list)
{
    std::string md = "# " + ReportString(ReportText::IoListTitle) + "\n\n";
    const std::vector<std::string> headings = IoListHeadings();
    md += Line(headings);
    md += Line(std::vector<std::string>(headings.size(), "---"));
    for (const IoRow& row : list.rows)
        md += Line(IoRowCells(row));
    md += "\n";
    for (const std::string& line : IoListSummary(list))
        md += "- " + Cell(line) + "\n";
    return md;
}
