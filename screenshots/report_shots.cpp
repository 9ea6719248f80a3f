// Pictures of the commissioning report: the HTML page as headless Chromium shows it (when
// /usr/bin/chromium is there) and the PDF that Qt writes, its I/O list page rendered by poppler's
// pdftoppm. The probe and verify results are those the report test gets from the simulators.
// Usage: report_shots OUTPUT_FOLDER

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>
#include <filesystem>

#include "file/replacement_file.h"
#include "mapping/auto_map.h"
#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"
#include "ui/report_document.h"

using namespace test_config;

namespace {

bool Wrote(const std::string& path)
{
    const bool ok = std::filesystem::exists(path);
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "cannot write", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 64;
    const std::string out = argv[1];
    ScratchFolder scratch;
    auto root = MakeConfig({{3, "100", "3"}, {1, "10", "9", "", "3"}, {4, "200", "2"}, {2, "20", "3"}, {6, "300"},
                            {15, "40", "12", "", "2"}, {16, "500", "4"}, {5, "60", "1", "", "7"}});
    SlaveOf(*root, 1);
    gw::AutoMap(*root);
    const char* mnemonics[] = {"tank level", "pump running", "flow rate", "door switches", "valve setpoint",
                               "lamps", "speed references", "horn"};
    for (int i = 0; i < 8; ++i)
        SetValue(root->Subnet().GetNodeAt(0)->GetCommandAt(i)->GetItemAt(CMD_ROW_MNEMONIC), mnemonics[i]);
    ProbeResults probe;
    probe.commands = {{1, 3, 100, 3, "ok", std::nullopt, 7.3, {1, 2, 4660}},
                      {2, 1, 10, 9, "ok", std::nullopt, 0.3, {1, 0, 1, 1, 0, 0, 1, 1, 1}},
                      {3, 4, 200, 2, "ok", std::nullopt, 0.4, {7, 48879}},
                      {4, 2, 20, 3, "ok", std::nullopt, 0.3, {0, 1, 1}},
                      {5, 6, 300, 1, "skipped", std::nullopt, 0, {}},
                      {6, 15, 40, 12, "skipped", std::nullopt, 0, {}},
                      {7, 16, 500, 4, "skipped", std::nullopt, 0, {}},
                      {8, 5, 60, 1, "skipped", std::nullopt, 0, {}}};
    probe.inputImage = "00010002123468000007BEEF06" + std::string(488 - 26, '0');
    VerifyResults verify{true, {}, "2.1", "2024-05-01 14:03:09"};
    ReportInputs inputs;
    inputs.configPath = "plant.xml";
    inputs.savedAt = "2024-05-01 13:58:41";
    inputs.probe = &probe;
    inputs.verify = &verify;
    inputs.ioList.inputBase = 256;
    inputs.ioList.outputBase = 256;

    const std::string html = scratch / "plant-report.html";
    if (const Outcome written = gw::ReplaceFileContents(html, gw::BuildHtmlReport(*root, inputs).html); !written)
        return std::fprintf(stderr, "%s\n", written.message.c_str()), 1;
    bool ok = true;
    if (std::filesystem::exists("/usr/bin/chromium")) {
        RunProgram("/usr/bin/chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                                         "--window-size=1100,1400", "--screenshot=" + out + "/report-html.png",
                                         "file://" + html},
                   scratch.Path().string());
        ok = Wrote(out + "/report-html.png");
    } else {
        std::fprintf(stderr, "no /usr/bin/chromium: report-html.png not taken\n");
    }

    PrintableReport printable = MakePrintableReport(*root, inputs);
    QString failure;
    const std::string pdf = scratch / "plant-report.pdf";
    if (!printable.document || !WriteReportPdf(*printable.document, QString::fromStdString(pdf), &failure))
        return std::fprintf(stderr, "no PDF: %s\n", qPrintable(printable.error + failure)), 1;
    // The page that holds the I/O list.
    for (int page = 1; page < 20; ++page) {
        const std::string number = std::to_string(page);
        const ProgramRun text = RunProgram("/usr/bin/pdftotext", {"-f", number, "-l", number, pdf, "-"}, scratch.Path().string());
        if (text.status != 0)
            break;
        if (text.out.find("I/O list") == std::string::npos)
            continue;
        RunProgram("/usr/bin/pdftoppm", {"-png", "-r", "90", "-f", number, "-l", number, "-singlefile", pdf, out + "/report-pdf"},
                   scratch.Path().string());
        return Wrote(out + "/report-pdf.png") && ok ? 0 : 1;
    }
    return std::fprintf(stderr, "no page of the PDF holds the I/O list\n"), 1;
}
