#pragma once
// gatewaycfg export FILE OUT: the configuration in FILE as an .xlsx workbook in OUT.

#include <ostream>
#include <string>

namespace gw {

// Exit status: 0, 65 when FILE cannot be read, 74 when the workbook cannot be written.
int RunExportCommand(const std::string& file, const std::string& workbook, std::ostream& out, std::ostream& err);

} // namespace gw
