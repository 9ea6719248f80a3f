#include "cli/export_command.h"

#include "cli/exit_codes.h"
#include "export/workbook_export.h"
#include "file/config_file.h"
#include "model/device_config.h"

int gw::RunExportCommand(const std::string& file, const std::string& workbook, std::ostream& out, std::ostream& err)
{
    CDeviceConfig root;
    if (const FileResult loaded = LoadFile(root, file); !loaded.ok) {
        err << (loaded.languageMismatch ? file + ": " : std::string()) << loaded.message << '\n';
        return kExitBadFile;
    }
    if (const ExportResult exported = ExportWorkbook(root, workbook); !exported.ok) {
        err << exported.message << '\n';
        return kExitCannotWrite;
    }
    out << "Exported " << file << " to " << workbook << '\n';
    return 0;
}
