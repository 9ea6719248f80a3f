// The report as a PDF from Qt's own writer, read back with poppler: pdftotext finds the
// mnemonics and values, pdfimages the memory map's picture, and pdftoppm renders a page.

#include <QtTest>
#include <QTextDocument>

#include "mapping/auto_map.h"
#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"
#include "ui/report_document.h"

using namespace test_config;

class ReportPdfTest : public QObject {
    Q_OBJECT
private slots:
    void pdfHoldsTheValuesAndTheMap()
    {
        ScratchFolder scratch;
        auto root = MakeConfig({{3, "100", "3"}, {1, "10", "9", "", "3"}, {16, "300", "2"}, {5, "20", "1", "", "6"}});
        AutoMap(*root);
        const char* mnemonics[] = {"tank level", "pump running", "valve setpoint", "alarm horn"};
        for (int i = 0; i < 4; ++i)
            SetValue(root->Subnet().GetNodeAt(0)->GetCommandAt(i)->GetItemAt(CMD_ROW_MNEMONIC), mnemonics[i]);
        ProbeResults probe;
        probe.commands.push_back({1, 3, 100, 3, "ok", std::nullopt, 4.2, {1, 2, 4660}});
        probe.inputImage = std::string(488, '0');
        VerifyResults verify{false, {{"command:1", "Number of Data", "3", "4"}}, "2.1", "2024-05-01 12:00:00"};
        ReportInputs inputs;
        inputs.configPath = "plant.xml";
        inputs.probe = &probe;
        inputs.verify = &verify;
        inputs.ioList.inputBase = 256;
        PrintableReport report = MakePrintableReport(*root, inputs);
        QVERIFY2(report.document, qPrintable(report.error));
        QString error;
        const std::string pdf = scratch / "report.pdf";
        QVERIFY2(WriteReportPdf(*report.document, QString::fromStdString(pdf), &error), qPrintable(error));

        const ProgramRun text = RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"}, scratch.Path().string());
        QCOMPARE(text.status, 0);
        for (const char* shown : {"tank level", "pump running", "valve setpoint", "alarm horn", "0006H", "4000H",
                                  "%IW256", "%IX262.3", "4660", "2024-05-01 12:00:00", "Number of Data"})
            QVERIFY2(QString::fromStdString(text.out).contains(shown), shown);
        const ProgramRun images = RunProgram("/usr/bin/pdfimages", {"-list", pdf}, scratch.Path().string());
        QVERIFY2(images.out.find("image") != std::string::npos && images.out.find("1840") != std::string::npos,
                 images.out.c_str());   // the map drawn at twice its size
        const ProgramRun page = RunProgram("/usr/bin/pdftoppm", {"-png", "-r", "40", "-f", "1", "-l", "1", pdf, scratch / "page"},
                                           scratch.Path().string());
        QCOMPARE(page.status, 0);
        QImage rendered(QString::fromStdString(scratch / "page-1.png"));
        QVERIFY(rendered.width() > 400 && rendered.width() > rendered.height());   // A4 on its side
    }
};

QTEST_MAIN(ReportPdfTest)
#include "report_pdf_test.moc"
