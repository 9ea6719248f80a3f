#pragma once
// The questions and messages the workbench puts to the user. The desktop program answers them
// with message boxes and file dialogs (CDialogPrompt); the widget tests answer them from a script.

#include <QString>

class QWidget;

class CUserPrompt {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~CUserPrompt() = default;

    // A message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& question) = 0;
    // A question with Yes, No and Cancel.
    virtual Answer AskYesNoCancel(QWidget* parent, const QString& question) = 0;
    // An open dialog for "XML File(*.xml)"; empty when cancelled.
    virtual QString AskOpenPath(QWidget* parent) = 0;
    // A save dialog for "XML File(*.xml)" that confirms overwriting; empty when cancelled.
    virtual QString AskSavePath(QWidget* parent) = 0;
};
