#include "ui/export_prompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

#include "ui/notice_box.h"

QString CDesktopExportPrompts::AskSavePath(QWidget* parent)
{
    QFileDialog dialog(parent, QCoreApplication::translate("ExportPrompts", "Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QCoreApplication::translate("ExportPrompts", "Excel File(*.xlsx)"));
    // The dialog completes a bare name, so that its overwrite question is about the real file.
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

bool CDesktopExportPrompts::AskOverwrite(QWidget* parent, const QString& path)
{
    return AskYesNo(parent,
                    QCoreApplication::translate("ExportPrompts", "%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(path)),
                    false);
}

void CDesktopExportPrompts::ShowFailure(QWidget* parent, const QString& text)
{
    ShowMessageBox(parent, QMessageBox::Warning, text);
}

bool CDesktopExportPrompts::AskOpenWorkbook(QWidget* parent, const QString& path)
{
    return AskYesNo(parent,
                    QCoreApplication::translate("ExportPrompts", "The workbook has been saved as\n%1\n\nOpen it now?")
                        .arg(QDir::toNativeSeparators(path)),
                    true);
}

bool CDesktopExportPrompts::OpenWorkbook(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
