#include "export/workbook_export.h"

#include <exception>

#include "export/sheet_layout.h"
#include "export/xlsx_workbook.h"
#include "file/replacement_file.h"

namespace {

// Builds the workbook; the empty text on success, otherwise the reason.
std::string WriteWorkbook(const CDeviceConfig& root, const std::string& path)
{
    CReplacementFile replacement(path);
    if (Outcome created = replacement.Create(); !created)
        return created.message;
    std::string error;
    {
        CXlsxWorkbook workbook(replacement.Path());
        for (const SheetContent& sheet : LayOutWorkbook(root)) {
            if (error = workbook.AddSheet(sheet); !error.empty())
                return error;
        }
        if (error = workbook.Close(); !error.empty())
            return error;
    }
    return replacement.Commit().message;
}

} // namespace

ExportResult ExportWorkbook(const CDeviceConfig& root, const std::string& path)
{
    ExportResult result;
    std::string reason;
    try {
        reason = WriteWorkbook(root, path);
    } catch (const std::exception& e) {
        reason = e.what();
    } catch (...) {
        reason = "unexpected failure";
    }
    result.ok = reason.empty();
    if (!result.ok)
        result.message = "Cannot export to " + path + ": " + reason;
    return result;
}
