#include "export/workbook_export.h"

#include <exception>

#include "export/sheet_layout.h"
#include "export/xlsx_workbook.h"
#include "file/replacement_file.h"

namespace {

// Builds the workbook in a replacement of the file at path.
Outcome WriteWorkbook(const CDeviceConfig& root, const std::string& path)
{
    CReplacementFile replacement(path);
    if (Outcome created = replacement.Create(); !created)
        return created;
    {
        CXlsxWorkbook workbook(replacement.Path());
        for (const SheetContent& sheet : gw::LayOutWorkbook(root)) {
            if (Outcome added = workbook.AddSheet(sheet); !added)
                return added;
        }
        if (Outcome closed = workbook.Close(); !closed)
            return closed;
    }
    return replacement.Commit();
}

} // namespace

ExportResult gw::ExportWorkbook(const CDeviceConfig& root, const std::string& path)
{
    ExportResult result;
    Outcome written;
    try {
        written = WriteWorkbook(root, path);
    } catch (const std::exception& e) {
        written = Failure(e.what());
    } catch (...) {
        written = Failure("unexpected failure");
    }
    result.ok = written.Ok();
    if (!result.ok)
        result.message = "Cannot export to " + path + ": " + written.message;
    return result;
}
