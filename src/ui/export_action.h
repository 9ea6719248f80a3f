#pragma once
// File > "Export XLS": asks for a workbook path, writes the workbook, offers to open it.

#include <QString>

class QWidget;
class CDeviceConfig;

// The dialogs and questions of the export, so that they can be answered without a user.
class CExportPrompts {
public:
    virtual ~CExportPrompts() = default;
    // The path picked in a save dialog for "*.xlsx" files (the dialog itself asks before an
    // existing file is replaced); empty when the user cancels.
    virtual QString AskSavePath(QWidget* parent) = 0;
    // Whether an existing file may be replaced; asked when ".xlsx" was added to the picked name.
    virtual bool AskOverwrite(QWidget* parent, const QString& path) = 0;
    virtual void ShowFailure(QWidget* parent, const QString& text) = 0;
    // Offered after the workbook has been written: whether to open it.
    virtual bool AskOpenWorkbook(QWidget* parent, const QString& path) = 0;
    // Opens the workbook with the desktop's application for it; false when none would.
    virtual bool OpenWorkbook(const QString& path) = 0;
};

// The export with the given prompts. Returns the path written, or empty when nothing was.
QString RunExportCommand(QWidget* parent, const CDeviceConfig& root, CExportPrompts& prompts);

// The export with the desktop's dialogs.
void RunExportCommand(QWidget* parent, const CDeviceConfig& root);
