#pragma once
// The hand-over's prompts on the desktop: the options dialog, save dialogs, message boxes and
// Qt's print preview.

#include "ui/handover_export.h"

class CDesktopHandoverPrompts : public CHandoverPrompts {
public:
    bool AskOptions(QWidget* parent, HandoverKind kind, HandoverOptions& options) override;
    QString AskSavePath(QWidget* parent, HandoverKind kind) override;
    void ShowFailure(QWidget* parent, const QString& text) override;
    void PrintWithPreview(QWidget* parent, QTextDocument& document) override;
};
