#pragma once
// Export of the whole configuration to an .xlsx workbook for documentation: the Modbus commands
// one per row on "Order list", the fieldbus node's values on "PROFIBUS" and the subnet node's
// on "Subnet" (layout in export/sheet_layout.h).

#include <string>

class CDeviceConfig;

struct ExportResult {
    bool ok = false;
    std::string message;   // on failure: the path and what went wrong
};

namespace gw {

// Writes the workbook to path. The workbook is built in a temporary file in the same folder and
// renamed over path only when it is complete, so a failed export leaves an existing file as it
// was and no partial file behind. The configuration is not changed.
ExportResult ExportWorkbook(const CDeviceConfig& root, const std::string& path);

} // namespace gw
