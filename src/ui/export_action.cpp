#include "ui/export_action.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "export/workbook_export.h"
#include "ui/export_prompts.h"
#include "ui/ui_text.h"

namespace {

// A name typed without an extension gets the workbook's.
QString WithWorkbookSuffix(const QString& path)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path.endsWith(QLatin1Char('.')) ? path + QStringLiteral("xlsx") : path + QStringLiteral(".xlsx");
}

} // namespace

QString RunExportCommand(QWidget* parent, const CDeviceConfig& root, CExportPrompts& prompts)
{
    const QString picked = prompts.AskSavePath(parent);
    if (picked.isEmpty())
        return {};
    const QString path = WithWorkbookSuffix(picked);
    // The save dialog asked about the name it returned; a file under the completed name has
    // not been asked about yet.
    if (path != picked && QFileInfo::exists(path) && !prompts.AskOverwrite(parent, path))
        return {};

    const ExportResult result = gw::ExportWorkbook(root, ToUtf8(path));
    if (!result.ok) {
        prompts.ShowFailure(parent, FromUtf8(result.message));
        return {};
    }
    if (prompts.AskOpenWorkbook(parent, path) && !prompts.OpenWorkbook(path))
        prompts.ShowFailure(parent, QCoreApplication::translate("ExportPrompts", "No application was found to open %1.").arg(path));
    return path;
}

void RunExportCommand(QWidget* parent, const CDeviceConfig& root)
{
    CDesktopExportPrompts prompts;
    RunExportCommand(parent, root, prompts);
}
