#pragma once
// The program's message boxes: one text with an OK button, or a question answered Yes or No.
// Their caption is the application's display name.

#include <QMessageBox>
#include <QString>

class QWidget;

// Shows text modally over parent until the user presses OK.
void ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& text);

// Asks a question modally over parent; true for Yes. defaultYes picks the button Enter presses.
bool AskYesNo(QWidget* parent, const QString& text, bool defaultYes);
