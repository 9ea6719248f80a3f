#pragma once
// The export's prompts on the desktop: a save dialog, message boxes, the default application.

#include "ui/export_action.h"

class CDesktopExportPrompts : public CExportPrompts {
public:
    QString AskSavePath(QWidget* parent) override;
    bool AskOverwrite(QWidget* parent, const QString& path) override;
    void ShowFailure(QWidget* parent, const QString& text) override;
    bool AskOpenWorkbook(QWidget* parent, const QString& path) override;
    bool OpenWorkbook(const QString& path) override;
};
