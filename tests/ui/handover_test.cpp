// File > Export I/O List..., Export Report... and Print... with scripted answers, and their own
// dialogs driven as a user would. The PDF is read back with poppler: pdftotext finds the
// mnemonics and values, pdfimages the memory map's picture, pdftoppm renders a page.

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTextDocument>
#include <QtTest>
#include <QtWidgets>

#include "mapping/auto_map.h"
#include "report/io_list_formats.h"
#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"
#include "support/widget_dialog_driver.h"
#include "ui/handover_export.h"
#include "ui/handover_options_dialog.h"
#include "ui/handover_prompts.h"
#include "ui/report_document.h"

using namespace test_config;

namespace {

struct ScriptedHandover : CHandoverPrompts {
    HandoverOptions options;
    QString path;
    QStringList failures;
    QString printedTo;   // PrintWithPreview prints into this PDF file

    bool AskOptions(QWidget*, HandoverKind, HandoverOptions& chosen) override
    {
        chosen = options;
        return true;
    }
    QString AskSavePath(QWidget*, HandoverKind) override { return path; }
    void ShowFailure(QWidget*, const QString& text) override { failures << text; }
    void PrintWithPreview(QWidget*, QTextDocument& document) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageOrientation(QPageLayout::Landscape);   // as the desktop's preview starts
        printer.setOutputFileName(printedTo);
        PrintReport(document, printer);
    }
};

std::unique_ptr<CDeviceConfig> Plant()
{
    auto root = MakeConfig({{3, "100", "3"}, {1, "10", "9", "", "3"}, {16, "300", "2"}, {5, "20", "1", "", "6"}});
    gw::AutoMap(*root);
    const char* mnemonics[] = {"tank level", "pump running", "valve setpoint", "alarm horn"};
    for (int i = 0; i < 4; ++i)
        SetValue(root->Subnet().GetNodeAt(0)->GetCommandAt(i)->GetItemAt(CMD_ROW_MNEMONIC), mnemonics[i]);
    return root;
}

QString PdfText(const ScratchFolder& scratch, const std::string& pdf)
{
    return QString::fromStdString(RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"}, scratch.Path().string()).out);
}

} // namespace

class HandoverTest : public QObject {
    Q_OBJECT
private slots:
    void ioListTakesTheFormatOfTheName()
    {
        ScratchFolder scratch;
        auto root = Plant();
        ScriptedHandover prompts;
        prompts.options.list.inputBase = 256;
        const IoList list = gw::BuildIoList(*root, prompts.options.list).list;
        const std::pair<const char*, std::string> cases[] = {
            {"list.csv", gw::IoListCsv(list)}, {"list.md", gw::IoListMarkdown(list)}, {"list.JSON", gw::IoListJson(list)}};
        for (const auto& [name, text] : cases) {
            prompts.path = QString::fromStdString(scratch / name);
            QCOMPARE(RunIoListExport(nullptr, *root, prompts), prompts.path);
            QCOMPARE(scratch.Read(name), text);
        }
        // A value no edit could store: refused before any file is asked for.
        SetValue(root->Subnet().GetNodeAt(0)->GetCommandAt(1)->GetItemAt(CMD_ROW_MAP_ADDRESS), "1G");
        prompts.path = QString::fromStdString(scratch / "refused.csv");
        QCOMPARE(RunIoListExport(nullptr, *root, prompts), QString());
        QVERIFY(prompts.failures.value(0).startsWith("command:2 / Mapping Address(HEX) = \"1G\""));
        QVERIFY(!QFileInfo::exists(prompts.path));
    }

    void reportAsHtmlAndPdfAndOnPaper()
    {
        ScratchFolder scratch;
        auto root = Plant();
        scratch.Write("probe.json", "{\"commands\": [{\"command\": 1, \"function\": 3, \"start\": 100, \"count\": 3, "
                                    "\"status\": \"ok\", \"exception\": null, \"ms\": 4.2, \"values\": [1, 2, 4660]}], "
                                    "\"input_image\": \"0001000212340000\"}");
        scratch.Write("verify.json", "{\"equal\": false, \"hardware\": \"2.1\", \"date\": \"2024-05-01 12:00:00\", "
                                     "\"differences\": [{\"node\": \"command:1\", \"item\": \"Number of Data\", "
                                     "\"left\": \"3\", \"right\": \"4\"}]}");
        ScriptedHandover prompts;
        prompts.options.list.inputBase = 256;
        prompts.options.probeJson = QString::fromStdString(scratch / "probe.json");
        prompts.options.verifyJson = QString::fromStdString(scratch / "verify.json");
        const ReportFile file{"plant.xml", "2024-05-01 11:00:00"};

        prompts.path = QString::fromStdString(scratch / "report.html");
        QCOMPARE(RunReportExport(nullptr, *root, file, prompts), prompts.path);
        QVERIFY(scratch.Read("report.html").find("<svg") != std::string::npos);

        prompts.path = QString::fromStdString(scratch / "report.pdf");
        prompts.printedTo = QString::fromStdString(scratch / "printed.pdf");
        QCOMPARE(RunReportExport(nullptr, *root, file, prompts), prompts.path);
        QCOMPARE(RunReportPrint(nullptr, *root, file, prompts), QString("Commissioning report"));
        for (const std::string& pdf : {scratch / "report.pdf", scratch / "printed.pdf"}) {
            const QString text = PdfText(scratch, pdf);
            for (const char* shown : {"tank level", "pump running", "valve setpoint", "alarm horn", "0006H", "4000H",
                                      "%IW256", "%IX262.3", "4660", "2024-05-01 12:00:00", "2024-05-01 11:00:00"})
                QVERIFY2(text.contains(shown), shown);
        }
        const ProgramRun images = RunProgram("/usr/bin/pdfimages", {"-list", scratch / "report.pdf"}, scratch.Path().string());
        QVERIFY2(images.out.find(" image ") != std::string::npos, images.out.c_str());   // the memory map
        const ProgramRun page = RunProgram("/usr/bin/pdftoppm", {"-png", "-r", "40", "-f", "1", "-l", "1", "-singlefile",
                                                                 scratch / "report.pdf", scratch / "page"},
                                           scratch.Path().string());
        QCOMPARE(page.status, 0);
        const QImage rendered(QString::fromStdString(scratch / "page.png"));
        QVERIFY(rendered.width() > 400 && rendered.width() > rendered.height());   // A4 on its side

        // A result file that is none of gatewaycfg's: said, and nothing written.
        scratch.Write("verify.json", "{\"equal\": true}");
        prompts.path = QString::fromStdString(scratch / "again.pdf");
        QCOMPARE(RunReportExport(nullptr, *root, file, prompts), QString());
        QCOMPARE(prompts.failures, QStringList{prompts.options.verifyJson + ": \"differences\" is missing"});
        QVERIFY(!QFileInfo::exists(prompts.path));
    }

    void desktopDialogsAskAndRemember()
    {
        auto root = Plant();
        CDesktopHandoverPrompts prompts;
        HandoverOptions chosen;
        {
            DialogDriver<CHandoverOptionsDlg> driver([](CHandoverOptionsDlg& dialog) {
                QVERIFY(!dialog.InputBase()->isEnabled() && !dialog.ProbeJson());
                QTest::mouseClick(dialog.InputBaseBox(), Qt::LeftButton);
                dialog.InputBase()->setValue(512);
                dialog.Addressing()->setCurrentIndex(1);
                dialog.accept();
            });
            QVERIFY(prompts.AskOptions(nullptr, HandoverKind::IoList, chosen));
        }
        QCOMPARE(chosen.list.inputBase, std::optional<std::int64_t>(512));
        QVERIFY(!chosen.list.outputBase && chosen.list.addressing == PlcAddressing::Word);
        {
            DialogDriver<CHandoverOptionsDlg> driver([](CHandoverOptionsDlg& dialog) {
                QCOMPARE(dialog.InputBase()->value(), 512);   // kept from the last time
                QVERIFY(dialog.ProbeJson() && dialog.VerifyJson());
                dialog.reject();
            });
            QVERIFY(!prompts.AskOptions(nullptr, HandoverKind::Report, chosen));
        }
        // The preview shows the report's pages; closing it prints nothing.
        PrintableReport report = MakePrintableReport(*root, {});
        DialogDriver<QPrintPreviewDialog> preview([](QPrintPreviewDialog& dialog) {
            auto* widget = dialog.findChild<QPrintPreviewWidget*>();
            QTRY_VERIFY(widget && widget->pageCount() > 3);
            dialog.reject();
        });
        prompts.PrintWithPreview(nullptr, *report.document);
    }
};

QTEST_MAIN(HandoverTest)
#include "handover_test.moc"
