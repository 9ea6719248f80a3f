#include "report/io_list_formats.h"

#include "model/lang_strings.h"
#include "report/report_texts.h"

namespace {

std::string AreaText(IoArea area)
{
    return gw::ReportString(area == IoArea::Input ? ReportText::AreaInput : ReportText::AreaOutput);
}

std::string CommandNumbers(const std::vector<int>& commands)
{
    std::string text;
    for (const int c : commands)
        text += (text.empty() ? "" : ", ") + std::to_string(c);
    return text;
}

} // namespace

std::vector<std::string> gw::IoListHeadings()
{
    // Labels of the command's and the slave node's items where the string table has them.
    return {gw::ReportString(ReportText::ColumnCommand), GetLangString(CommandText::Mnemonic),
            GetLangString(SlaveText::Address), GetLangString(CommandText::FunctionCode),
            GetLangString(CommandText::StartAddress), GetLangString(CommandText::DataCount), gw::ReportString(ReportText::ColumnArea),
            gw::ReportString(ReportText::ColumnOffset), gw::ReportString(ReportText::ColumnBit),
            gw::ReportString(ReportText::ColumnLength), gw::ReportString(ReportText::ColumnLayout),
            gw::ReportString(ReportText::ColumnPlcAddress)};
}

std::vector<std::string> gw::IoRowCells(const IoRow& row)
{
    return {std::to_string(row.command),
            row.mnemonic,
            std::to_string(row.slave),
            std::to_string(row.function),
            std::to_string(row.start),
            std::to_string(row.count),
            AreaText(row.area),
            OffsetHex(row.offset) + " (" + std::to_string(row.offset) + ")",
            row.bit ? std::to_string(*row.bit) : std::string(),
            std::to_string(row.length) + " " +
                gw::ReportString(row.unit == IoUnit::Byte ? ReportText::UnitByte : ReportText::UnitBit),
            row.layout,
            row.plcAddress};
}

std::vector<std::string> gw::IoListSummary(const IoList& list)
{
    std::vector<std::string> lines;
    lines.push_back(gw::ReportString(list.addressing == PlcAddressing::Word ? ReportText::AddressingWord
                                                                        : ReportText::AddressingByte));
    lines.push_back(gw::ReportString(ReportText::InputBytesNeeded, {std::to_string(list.inputBytes)}));
    lines.push_back(gw::ReportString(ReportText::OutputBytesNeeded, {std::to_string(list.outputBytes)}));
    for (const SharedByte& shared : list.shared)
        lines.push_back(gw::ReportString(ReportText::SharedByte, {OffsetHex(shared.offset) + " (" +
                                                                  std::to_string(shared.offset) + ")",
                                                              AreaText(shared.area), CommandNumbers(shared.commands)}));
    if (list.shared.empty())
        lines.push_back(gw::ReportString(ReportText::NoSharedByte));
    lines.insert(lines.end(), list.notes.begin(), list.notes.end());
    return lines;
}
