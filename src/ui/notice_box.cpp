#include "ui/notice_box.h"

#include <QGuiApplication>

namespace {

// The texts of the string table break lines with CR LF.
QString PlainLines(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

} // namespace

void ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), PlainLines(text), QMessageBox::Ok, parent);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& text, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(), PlainLines(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
