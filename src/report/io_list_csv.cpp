#include "report/io_list_formats.h"

namespace {

// A field as RFC 4180 has it: quoted when it holds a comma, a quote or a line break, with
// quotes doubled.
std::string Field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

} // namespace

std::string gw::IoListCsv(const IoList& list)
{
    std::string csv = std::string(kIoListCsvHeader) + "\r\n";
    for (const IoRow& row : list.rows) {
        const std::string fields[] = {std::to_string(row.command),
                                      row.mnemonic,
                                      std::to_string(row.slave),
                                      std::to_string(row.function),
                                      std::to_string(row.start),
                                      std::to_string(row.count),
                                      AreaKey(row.area),
                                      OffsetHex(row.offset),
                                      std::to_string(row.offset),
                                      row.bit ? std::to_string(*row.bit) : std::string(),
                                      std::to_string(row.length),
                                      UnitKey(row.unit),
                                      row.layout,
                                      row.plcAddress};
        bool first = true;
        for (const std::string& field : fields) {
            csv += (first ? "" : ",") + Field(field);
            first = false;
        }
        csv += "\r\n";
    }
    return csv;
}
