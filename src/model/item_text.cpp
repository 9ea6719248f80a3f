#include "model/item_text.h"

#include "model/commit_rules.h"
#include "model/hex_text.h"
#include "model/param_item.h"
#include "model/subnet_node.h"

void gw::PrintRecordItems(const std::string& heading, const TreeRecord& record, std::ostream& out)
{
    out << "[" << heading << "] " << OneLineText(RecordName(record)) << '\n';
    const int rows = RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = RecordItemAt(record, row);
        if (!item)
            continue;
        // What the download goes by is the mode number, not the protocol row's text.
        const bool protocol = record.type == RECORD_SUBNET && row == SUBNET_ROW_PROTOCOL;
        const std::string value = protocol ? static_cast<const CSubnetNode*>(record.node)->DescribeProtocol() : item->value;
        out << "  " << OneLineText(TrimTrailingBlanks(item->label)) << " = " << OneLineText(value);
        if (!item->OffersEditor())
            out << "  (read-only)";
        out << '\n';
    }
}

std::string gw::TrimTrailingBlanks(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

std::string gw::OneLineText(const std::string& text)
{
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c == '\n' || c == '\r')
            line += "\\n";
        else if (c == '\t')
            line += "\\t";
        else if (c < 0x20 || c == 0x7F)
            line += "\\x" + HexByte(c);
        else
            line += static_cast<char>(c);
    }
    return line;
}
