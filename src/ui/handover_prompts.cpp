#include "ui/handover_prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "ui/handover_options_dialog.h"
#include "ui/notice_box.h"
#include "ui/report_document.h"

namespace {

// The last options chosen, offered again while the program runs.
HandoverOptions& Remembered()
{
    static HandoverOptions options;
    return options;
}

} // namespace

bool CDesktopHandoverPrompts::AskOptions(QWidget* parent, HandoverKind kind, HandoverOptions& options)
{
    CHandoverOptionsDlg dialog(Remembered(), kind != HandoverKind::IoList, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.Options();
    HandoverOptions& kept = Remembered();
    kept.list = options.list;
    if (kind != HandoverKind::IoList) {
        kept.probeJson = options.probeJson;
        kept.verifyJson = options.verifyJson;
    }
    return true;
}

QString CDesktopHandoverPrompts::AskSavePath(QWidget* parent, HandoverKind kind)
{
    const bool list = kind == HandoverKind::IoList;
    QFileDialog dialog(parent, list ? QCoreApplication::translate("Handover", "Export I/O List")
                                    : QCoreApplication::translate("Handover", "Export Report"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters =
        list ? QStringList{QCoreApplication::translate("Handover", "CSV File(*.csv)"),
                           QCoreApplication::translate("Handover", "Markdown File(*.md)"),
                           QCoreApplication::translate("Handover", "JSON File(*.json)")}
             : QStringList{QCoreApplication::translate("Handover", "HTML File(*.html)"),
                           QCoreApplication::translate("Handover", "PDF File(*.pdf)")};
    const QStringList suffixes = list ? QStringList{"csv", "md", "json"} : QStringList{"html", "pdf"};
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixes.front());
    // The type picked gives a bare name its suffix, so that the overwrite question is about the real file.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(suffixes.value(static_cast<int>(filters.indexOf(filter)), suffixes.front()));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void CDesktopHandoverPrompts::ShowFailure(QWidget* parent, const QString& text)
{
    ShowMessageBox(parent, QMessageBox::Warning, text);
}

void CDesktopHandoverPrompts::PrintWithPreview(QWidget* parent, QTextDocument& document)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(document.metaInformation(QTextDocument::DocumentTitle));
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* target) { PrintReport(document, *target); });
    preview.exec();
}
