#include "ui/handover_export.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextDocument>

#include "file/replacement_file.h"
#include "report/io_list_formats.h"
#include "ui/handover_prompts.h"
#include "ui/report_document.h"
#include "ui/ui_text.h"

namespace {

void ShowCannotWrite(QWidget* parent, const QString& path, const QString& reason, CHandoverPrompts& prompts)
{
    prompts.ShowFailure(parent, QCoreApplication::translate("Handover", "Cannot write %1: %2").arg(path, reason));
}

bool Write(QWidget* parent, const QString& path, const std::string& text, CHandoverPrompts& prompts)
{
    const Outcome written = gw::ReplaceFileContents(ToUtf8(path), text);
    if (written)
        return true;
    ShowCannotWrite(parent, path, FromUtf8(written.message), prompts);
    return false;
}

// What a report is made of: the options' inputs and the results they point at.
struct AskedReport {
    ReportInputs inputs;
    ProbeResults probe;
    VerifyResults verify;
};

// Asks for the options and reads the result files they name; false when the user
// cancels, and after a message about a result file that cannot be read.
bool AskReport(QWidget* parent, HandoverKind kind, const ReportFile& file, CHandoverPrompts& prompts, AskedReport& asked)
{
    ReportInputs& inputs = asked.inputs;
    HandoverOptions options;
    if (!prompts.AskOptions(parent, kind, options))
        return false;
    if (!options.probeJson.isEmpty()) {
        if (const Outcome loaded = gw::LoadProbeResults(ToUtf8(options.probeJson), asked.probe); !loaded)
            return prompts.ShowFailure(parent, FromUtf8(loaded.message)), false;
        inputs.probe = &asked.probe;
    }
    if (!options.verifyJson.isEmpty()) {
        if (const Outcome loaded = gw::LoadVerifyResults(ToUtf8(options.verifyJson), asked.verify); !loaded)
            return prompts.ShowFailure(parent, FromUtf8(loaded.message)), false;
        inputs.verify = &asked.verify;
    }
    inputs.configPath = ToUtf8(file.path);
    inputs.savedAt = ToUtf8(file.savedAt);
    inputs.ioList = options.list;
    return true;
}

} // namespace

QString RunIoListExport(QWidget* parent, const CDeviceConfig& root, CHandoverPrompts& prompts)
{
    HandoverOptions options;
    if (!prompts.AskOptions(parent, HandoverKind::IoList, options))
        return {};
    const IoListResult result = gw::BuildIoList(root, options.list);
    if (result.code != RESULT_OK) {
        prompts.ShowFailure(parent, FromUtf8(result.message));
        return {};
    }
    const QString path = prompts.AskSavePath(parent, HandoverKind::IoList);
    if (path.isEmpty())
        return {};
    const QString suffix = QFileInfo(path).suffix().toLower();
    const std::string text = suffix == QLatin1String("md")     ? gw::IoListMarkdown(result.list)
                             : suffix == QLatin1String("json") ? gw::IoListJson(result.list)
                                                               : gw::IoListCsv(result.list);
    return Write(parent, path, text, prompts) ? path : QString();
}

QString RunReportExport(QWidget* parent, const CDeviceConfig& root, const ReportFile& file, CHandoverPrompts& prompts)
{
    AskedReport asked;
    if (!AskReport(parent, HandoverKind::Report, file, prompts, asked))
        return {};
    // Refused before the save dialog: a value no edit could store.
    const ReportResult html = gw::BuildHtmlReport(root, asked.inputs);
    if (html.code != RESULT_OK) {
        prompts.ShowFailure(parent, FromUtf8(html.message));
        return {};
    }
    const QString path = prompts.AskSavePath(parent, HandoverKind::Report);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().toLower() != QLatin1String("pdf"))
        return Write(parent, path, html.html, prompts) ? path : QString();
    PrintableReport printable = MakePrintableReport(root, asked.inputs);
    QString error;
    if (!printable.document || !WriteReportPdf(*printable.document, path, &error)) {
        ShowCannotWrite(parent, path, error, prompts);
        return {};
    }
    return path;
}

QString RunReportPrint(QWidget* parent, const CDeviceConfig& root, const ReportFile& file, CHandoverPrompts& prompts)
{
    AskedReport asked;
    if (!AskReport(parent, HandoverKind::Print, file, prompts, asked))
        return {};
    PrintableReport printable = MakePrintableReport(root, asked.inputs);
    if (!printable.document) {
        prompts.ShowFailure(parent, printable.error);
        return {};
    }
    prompts.PrintWithPreview(parent, *printable.document);
    return printable.document->metaInformation(QTextDocument::DocumentTitle);
}

void RunIoListExport(QWidget* parent, const CDeviceConfig& root)
{
    CDesktopHandoverPrompts prompts;
    RunIoListExport(parent, root, prompts);
}

void RunReportExport(QWidget* parent, const CDeviceConfig& root, const ReportFile& file)
{
    CDesktopHandoverPrompts prompts;
    RunReportExport(parent, root, file, prompts);
}

void RunReportPrint(QWidget* parent, const CDeviceConfig& root, const ReportFile& file)
{
    CDesktopHandoverPrompts prompts;
    RunReportPrint(parent, root, file, prompts);
}
