#include "ui/dialog_prompt.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

QString MessageCaption()
{
    return QStringLiteral("Orvel");
}

QString XmlFileFilter()
{
    return QCoreApplication::translate("CDialogPrompt", "XML File(*.xml)");
}

void CDialogPrompt::ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, MessageCaption(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool CDialogPrompt::AskYesNo(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Question, MessageCaption(), question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

CUserPrompt::Answer CDialogPrompt::AskYesNoCancel(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Question, MessageCaption(), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

QString CDialogPrompt::AskOpenPath(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), XmlFileFilter());
}

QString CDialogPrompt::AskSavePath(QWidget* parent)
{
    QFileDialog dialog(parent, QString(), QString(), XmlFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
