#pragma once
// The I/O list written out: CSV for spreadsheets, PLC tools and scripts, Markdown for people,
// JSON for programs; and the display texts the Markdown form and the report share.

#include <string>
#include <vector>

#include "report/io_list.h"

// The CSV header row, exactly as the CSV form writes it (without its line end).
inline constexpr const char* kIoListCsvHeader =
    "command,mnemonic,slave,function,start,count,area,offset_hex,offset,bit,length,unit,layout,plc_address";

namespace gw {

// RFC 4180: the header row and one record per row, CR LF line ends, fields quoted where needed.
std::string IoListCsv(const IoList& list);
// A title, the addressing used, a table and the summary below it.
std::string IoListMarkdown(const IoList& list);
// {"plc_addressing", "input_base", "output_base", "rows": [{the CSV's names}], "input_bytes",
//  "output_bytes", "area_bytes", "shared_bytes": [{"area", "offset", "offset_hex", "commands"}], "notes"}
std::string IoListJson(const IoList& list);

// The column headings and a row's cells as a person reads them, in the program's language.
std::vector<std::string> IoListHeadings();
std::vector<std::string> IoRowCells(const IoRow& row);
// The lines below the rows: the addressing used, the bytes the master must provide, the shared
// bytes and the notes.
std::vector<std::string> IoListSummary(const IoList& list);

} // namespace gw
