#pragma once
// The commissioning report: one self-contained, printable HTML document with the module and
// file, every node's items, the command table, the I/O list, both memory areas as the memory
// map draws them and, when given, the probe's outcomes and the verify result.

#include <string>

#include "model/result_codes.h"
#include "report/commissioning_results.h"
#include "report/io_list.h"

class CDeviceConfig;

struct ReportInputs {
    std::string configPath;              // as the user named it
    std::string savedAt;                 // the file's save time, as it records it
    const ProbeResults* probe = nullptr;
    const VerifyResults* verify = nullptr;
    IoListOptions ioList;
    // Empty: the memory map is drawn inline as SVG. Otherwise the map is an <img> of this source
    // (for renderers without SVG, which are handed the picture under that name).
    std::string memoryMapImage;
};

struct ReportResult {
    ResultCode code = RESULT_OK;         // the I/O list's refusal, when there is one
    std::string message;
    std::string html;
};

namespace gw {

ReportResult BuildHtmlReport(const CDeviceConfig& root, const ReportInputs& inputs);

// Text with &, <, >, " and ' written as entities.
std::string HtmlEscape(const std::string& text);

} // namespace gw
