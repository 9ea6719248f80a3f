#pragma once
// The user prompt of the desktop program: message boxes and file dialogs.

#include "ui/user_prompt.h"

// Caption of the program's message boxes.
QString MessageCaption();
// The file type of configuration files in the open and save dialogs.
QString XmlFileFilter();

class CDialogPrompt : public CUserPrompt {
public:
    void ShowMessage(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& question) override;
    Answer AskYesNoCancel(QWidget* parent, const QString& question) override;
    QString AskOpenPath(QWidget* parent) override;
    QString AskSavePath(QWidget* parent) override;
};
