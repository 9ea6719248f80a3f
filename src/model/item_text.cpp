#include "model/item_text.h"

#include "model/commit_rules.h"
#include "model/param_item.h"

void PrintRecordItems(const std::string& heading, const TreeRecord& record, std::ostream& out)
{
    out << "[" << heading << "] " << RecordName(record) << '\n';
    const int rows = RecordRowCount(record);
    for (int row = 0; row < rows; ++row) {
        const CParamItem* item = RecordItemAt(record, row);
        if (!item)
            continue;
        out << "  " << TrimTrailingBlanks(item->label) << " = " << OneLineText(item->value);
        if (!item->OffersEditor())
            out << "  (read-only)";
        out << '\n';
    }
}

std::string TrimTrailingBlanks(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

std::string OneLineText(const std::string& text)
{
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line += text[i] == '\n' || text[i] == '\r' ? std::string("\\n") : std::string(1, text[i]);
    }
    return line;
}
