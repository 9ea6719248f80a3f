#include "report/html_report.h"

#include <cstdio>

#include "mapping/memory_map_svg.h"
#include "model/commit_rules.h"
#include "model/device_config.h"
#include "model/lang_strings.h"
#include "report/io_list_formats.h"
#include "report/report_texts.h"

namespace {

constexpr const char* kStyle =
    "body{font-family:sans-serif;font-size:10pt;color:#000;margin:1.5em}"
    "h1{font-size:16pt}h2{font-size:13pt;border-bottom:1px solid #888;margin-top:1.2em}h3{font-size:11pt}"
    "table{border-collapse:collapse;margin:0.4em 0 1em 0}"
    "th,td{border:1px solid #999;padding:2px 4px;text-align:left;vertical-align:top;font-size:8pt}"
    "th{background:#e4e4e4}td.num{text-align:right}.mono{font-family:monospace}"
    ".page{page-break-before:always;break-before:page}"
    "@media print{body{margin:0}}";

std::string Cell(const std::string& tag, const std::string& text, const char* cls = nullptr)
{
    return "<" + tag + (cls ? std::string(" class=\"") + cls + "\"" : std::string()) + ">" + gw::HtmlEscape(text) + "</" +
           tag + ">";
}

void Row(std::string& html, const std::vector<std::string>& cells, const std::string& tag = "td")
{
    html += "<tr>";
    for (const std::string& cell : cells)
        html += Cell(tag, cell);
    html += "</tr>\n";
}

// A table with an id, a heading row and rows of cells.
void Table(std::string& html, const std::string& id, const std::vector<std::string>& headings,
           const std::vector<std::vector<std::string>>& rows)
{
    html += "<table id=\"" + id + "\">\n<thead>";
    Row(html, headings, "th");
    html += "</thead>\n<tbody>\n";
    for (const auto& row : rows)
        Row(html, row);
    html += "</tbody></table>\n";
}

// A part of the report; newPage starts it on a page of its own when printed (the break stands on
// the heading, where every renderer of the report honours it).
void Section(std::string& html, const std::string& id, const std::string& title, bool newPage)
{
    html += "<section id=\"" + id + "\">\n" + Cell("h2", title, newPage ? "page" : nullptr) + "\n";
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void ItemTable(std::string& html, const std::string& id, const TreeRecord& record)
{
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < gw::RecordRowCount(record); ++row) {
        if (const CParamItem* item = gw::RecordItemAt(record, row))
            rows.push_back({Trimmed(item->label), item->value});
    }
    html += Cell("h3", gw::RecordName(record)) + "\n";
    Table(html, id, {gw::ReportString(ReportText::Item), gw::ReportString(ReportText::Value)}, rows);
}

void CommandTable(std::string& html, const std::string& id, const CSlaveNode& slave)
{
    std::vector<std::string> headings = {gw::ReportString(ReportText::ColumnCommand)};
    // The command's item labels, in row order, from the string table.
    for (const CommandText label : {CommandText::FunctionCode, CommandText::StartAddress, CommandText::DataCount,
                                    CommandText::MapAddress, CommandText::MapBit, CommandText::ByteCount,
                                    CommandText::ByteSwap, CommandText::CheckType, CommandText::ScanType,
                                    CommandText::Mnemonic})
        headings.push_back(gw::GetLangString(label));
    std::vector<std::vector<std::string>> rows;
    int number = 0;
    for (const auto& command : slave.Commands()) {
        std::vector<std::string> cells = {std::to_string(++number) + " " + command->GetName()};
        for (int row = 0; row < CMD_ROW_COUNT; ++row) {
            const CParamItem* item = command->GetItemAt(row);
            cells.push_back(item ? item->value : std::string());
        }
        rows.push_back(std::move(cells));
    }
    Table(html, id, headings, rows);
}

void ModuleSection(std::string& html, const CDeviceConfig& root, const ReportInputs& inputs)
{
    std::vector<std::vector<std::string>> rows = {
        {gw::ReportString(ReportText::File), inputs.configPath},
        {gw::ReportString(ReportText::SavedAt), inputs.savedAt},
        {gw::ReportString(ReportText::Language), gw::LanguageName(gw::ActiveLanguage())},
    };
    if (inputs.verify && !inputs.verify->hardware.empty())
        rows.push_back({gw::ReportString(ReportText::HardwareVersion), inputs.verify->hardware});
    // What the module is set to talk: its serial protocol and, as Modbus master, its slave.
    if (const CParamItem* protocol = root.Subnet().GetItemAt(SUBNET_ROW_PROTOCOL))
        rows.push_back({Trimmed(protocol->label), protocol->value});
    const CSlaveNode* slave = root.Subnet().GetMode() == MODE_MODBUS_MASTER ? root.Subnet().GetNodeAt(0) : nullptr;
    if (const CParamItem* address = slave ? slave->GetItemAt(SLAVE_ROW_ADDRESS) : nullptr)
        rows.push_back({Trimmed(address->label), address->value});
    Section(html, "module", gw::ReportString(ReportText::ModuleAndFile), false);
    Table(html, "module-table", {gw::ReportString(ReportText::Item), gw::ReportString(ReportText::Value)}, rows);
    html += "</section>\n";
}

void ConfigurationSection(std::string& html, const CDeviceConfig& root)
{
    auto& tree = const_cast<CDeviceConfig&>(root);   // records only read through their objects
    Section(html, "configuration", gw::ReportString(ReportText::Configuration), true);
    ItemTable(html, "items-profibus", TreeRecord::ForNode(RECORD_FIELDBUS, &tree.Bus()));
    ItemTable(html, "items-subnet", TreeRecord::ForNode(RECORD_SUBNET, &tree.Subnet()));
    if (root.Subnet().GetMode() == MODE_MODBUS_MASTER) {
        for (int s = 0; s < root.Subnet().GetNodeCount(); ++s) {
            CSlaveNode* slave = tree.Subnet().GetNodeAt(s);
            const std::string suffix = std::to_string(s + 1);
            ItemTable(html, "items-slave-" + suffix, TreeRecord::ForSlave(slave));
            html += Cell("h3", gw::ReportString(ReportText::Commands)) + "\n";
            CommandTable(html, s == 0 ? "commands" : "commands-" + suffix, *slave);
        }
    }
    html += "</section>\n";
}

void IoListSection(std::string& html, const IoList& list)
{
    Section(html, "iolist", gw::ReportString(ReportText::IoListTitle), true);
    std::vector<std::vector<std::string>> rows;
    for (const IoRow& row : list.rows)
        rows.push_back(gw::IoRowCells(row));
    Table(html, "iolist-table", gw::IoListHeadings(), rows);
    html += "<ul id=\"iolist-summary\">\n";
    for (const std::string& line : gw::IoListSummary(list))
        html += Cell("li", line) + "\n";
    html += "</ul>\n</section>\n";
}

void MemoryMapSection(std::string& html, const CDeviceConfig& root, const ReportInputs& inputs)
{
    Section(html, "memory-map", gw::ReportString(ReportText::MemoryMap), true);
    if (!inputs.memoryMapImage.empty()) {
        html += "<p><img src=\"" + gw::HtmlEscape(inputs.memoryMapImage) + "\" alt=\"" +
                gw::HtmlEscape(gw::ReportString(ReportText::MemoryMap)) + "\" width=\"640\"></p>\n";
    } else {
        std::string svg = gw::RenderMemoryMapSvg(root.Subnet());
        if (svg.starts_with("<?xml"))
            svg.erase(0, svg.find('\n') + 1);   // a declaration has no place inside HTML
        html += "<div class=\"map\" style=\"overflow-x:auto\">\n" + svg + "</div>\n";
    }
    html += "</section>\n";
}

std::string Mnemonic(const CDeviceConfig& root, int number)
{
    const CSlaveNode* slave = root.Subnet().GetNodeAt(0);
    const CModbusCommand* command = slave ? slave->GetCommandAt(number - 1) : nullptr;
    const CParamItem* item = command ? command->GetItemAt(CMD_ROW_MNEMONIC) : nullptr;
    return item ? item->value : std::string();
}

void ProbeSection(std::string& html, const CDeviceConfig& root, const ProbeResults& probe)
{
    Section(html, "probe", gw::ReportString(ReportText::ProbeTitle), true);
    std::vector<std::vector<std::string>> rows;
    for (const ProbeCommandResult& command : probe.commands) {
        std::string values;
        for (const long long value : command.values)
            values += (values.empty() ? "" : " ") + std::to_string(value);
        char ms[32];
        std::snprintf(ms, sizeof ms, "%.1f", command.ms);
        rows.push_back({std::to_string(command.command), Mnemonic(root, command.command),
                        std::to_string(command.function), std::to_string(command.start), std::to_string(command.count),
                        command.status, command.exception ? std::to_string(*command.exception) : std::string(), ms,
                        values});
    }
    Table(html, "probe-table",
          {gw::ReportString(ReportText::ColumnCommand), gw::GetLangString(CommandText::Mnemonic),
           gw::GetLangString(CommandText::FunctionCode), gw::GetLangString(CommandText::StartAddress),
           gw::GetLangString(CommandText::DataCount), gw::ReportString(ReportText::Outcome), gw::ReportString(ReportText::Exception),
           gw::ReportString(ReportText::TimeMs), gw::ReportString(ReportText::Values)},
          rows);
    html += Cell("h3", gw::ReportString(ReportText::InputImage)) + "\n<pre class=\"mono\" id=\"input-image\">";
    // Sixteen bytes a line, each line led by its offset.
    for (std::size_t i = 0; i < probe.inputImage.size(); i += 32) {
        char offset[24];
        std::snprintf(offset, sizeof offset, "%04zX ", i / 2);
        html += offset;
        for (std::size_t j = i; j < std::min(i + 32, probe.inputImage.size()); j += 2)
            html += " " + gw::HtmlEscape(probe.inputImage.substr(j, 2));
        html += "\n";
    }
    html += "</pre>\n</section>\n";
}

void VerifySection(std::string& html, const VerifyResults& verify)
{
    Section(html, "verify", gw::ReportString(ReportText::VerifyTitle), true);
    std::vector<std::vector<std::string>> facts = {{gw::ReportString(ReportText::VerifiedAt), verify.date}};
    if (!verify.hardware.empty())
        facts.push_back({gw::ReportString(ReportText::HardwareVersion), verify.hardware});
    Table(html, "verify-facts", {gw::ReportString(ReportText::Item), gw::ReportString(ReportText::Value)}, facts);
    html += "<p id=\"verify-verdict\">" +
            gw::HtmlEscape(verify.equal ? gw::ReportString(ReportText::VerifyEqual)
                                    : gw::ReportString(ReportText::VerifyDiffers, {std::to_string(verify.differences.size())})) +
            "</p>\n";
    if (!verify.differences.empty()) {
        const std::string missing = gw::ReportString(ReportText::Missing);
        std::vector<std::vector<std::string>> rows;
        for (const VerifyDifference& d : verify.differences)
            rows.push_back({d.node, d.item, d.left.value_or(missing), d.right.value_or(missing)});
        Table(html, "verify-table",
              {gw::ReportString(ReportText::Node), gw::ReportString(ReportText::Item), gw::ReportString(ReportText::File),
               gw::ReportString(ReportText::ModuleSide)},
              rows);
    }
    html += "</section>\n";
}

} // namespace

std::string gw::HtmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

ReportResult gw::BuildHtmlReport(const CDeviceConfig& root, const ReportInputs& inputs)
{
    ReportResult result;
    IoListResult list = BuildIoList(root, inputs.ioList);
    if (list.code != RESULT_OK) {
        result.code = list.code;
        result.message = list.message;
        return result;
    }
    std::string& html = result.html;
    const std::string title = gw::ReportString(ReportText::ReportTitle);
    html = std::string("<!DOCTYPE html>\n<html lang=\"") + LanguageCode(gw::ActiveLanguage()) +
           "\">\n<head>\n<meta charset=\"utf-8\">\n" + Cell("title", title) + "\n<style>" + kStyle +
           "</style>\n</head>\n<body>\n" + Cell("h1", title) + "\n";
    ModuleSection(html, root, inputs);
    ConfigurationSection(html, root);
    IoListSection(html, list.list);
    MemoryMapSection(html, root, inputs);
    if (inputs.probe)
        ProbeSection(html, root, *inputs.probe);
    if (inputs.verify)
        VerifySection(html, *inputs.verify);
    html += "</body>\n</html>\n";
    return result;
}
