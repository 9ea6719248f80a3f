// gatewaycfg report end to end: the commands probed on modbus-slave-sim, the configuration
// downloaded into gateway-sim and verified, the report parsed by html5lib and searched for every
// item value, command, I/O row, probe outcome and difference; and results it cannot read.

#include <gtest/gtest.h>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "model/lang_strings.h"
#include "report/report_texts.h"
#include "support/config_builder.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

const std::vector<CommandValues> kCommands = {{3, "10", "3"}, {1, "20", "9", "", "3"}, {4, "30", "2"}, {2, "40", "5"},
                                              {6, "50"},      {15, "60", "4", "", "6"}, {16, "70", "2"}, {5, "80", "1", "", "2"},
                                              {3, "5000", "2"}};

std::string SavedPlant(const ScratchFolder& folder, Language lang = Language::English)
{
    gw::SetActiveLanguage(lang);
    auto root = MakeConfig(kCommands);
    SlaveOf(*root, 1);
    gw::AutoMap(*root);
    root->Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_MNEMONIC)->value = "<pump & \"valve\">, 'main'";
    root->Subnet().GetNodeAt(0)->GetCommandAt(6)->SetChoice(CMD_ROW_BYTE_SWAP, 2);
    EXPECT_TRUE(gw::SaveFile(*root, folder / "plant.xml").ok);
    gw::SetActiveLanguage(Language::English);
    return folder / "plant.xml";
}

TEST(Report, HoldsEveryValueTheProbeAndTheVerifyResult)
{
    ScratchFolder folder;
    const std::string file = SavedPlant(folder);
    {
        ServingProcess slave({MODBUS_SLAVE_SIM_PATH, "--holding", "10=1,2,0x1234", "--coils", "20=1,0,1,1,0,0,1,1,1",
                              "--idle-exit", "60"});
        ASSERT_TRUE(slave.Running());
        const ProgramRun probe = RunTool({"probe", file, "-p", slave.Path(), "--json"});
        ASSERT_EQ(probe.status, 2) << probe.err;   // the registers at 5000 answer with an exception
        folder.Write("probe.json", probe.out);
    }
    {
        ServingProcess module({GATEWAY_SIM_PATH, "--idle-exit", "60"});
        ASSERT_TRUE(module.Running());
        ASSERT_EQ(RunTool({"download", file, "-p", module.Path()}).status, 0);
        ASSERT_EQ(RunTool({"set", file, "command:3", "Number of Data", "7"}).status, 0);
        const ProgramRun verify = RunTool({"verify", file, "-p", module.Path(), "--json"});
        ASSERT_EQ(verify.status, 1) << verify.err;
        folder.Write("verify.json", verify.out);
    }
    const std::vector<std::string> bases = {"--input-base", "256", "--output-base", "64"};
    std::vector<std::string> report = {"report", file, "-o", folder / "report.html", "--probe-json", folder / "probe.json",
                                       "--verify-json", folder / "verify.json"};
    report.insert(report.end(), bases.begin(), bases.end());
    const ProgramRun written = RunTool(report);
    ASSERT_EQ(written.status, 0) << written.err;
    std::vector<std::string> list = {"iolist", file, "-o", folder / "list.csv"};
    list.insert(list.end(), bases.begin(), bases.end());
    ASSERT_EQ(RunTool(list).status, 0);
    folder.Write("show.txt", RunTool({"show", file}).out);

    const ProgramRun checked = RunProgram("/usr/bin/python3",
                                          {REPORT_SCRIPTS "/check_report_html.py", folder / "report.html", folder / "show.txt",
                                           folder / "list.csv", folder / "probe.json", folder / "verify.json"},
                                          folder.Path().string());
    EXPECT_EQ(checked.out + checked.err, "ok\n");
    const std::string html = folder.Read("report.html");
    EXPECT_EQ(html.find("http"), html.find("http://www.w3.org/2000/svg"));   // nothing to fetch
    EXPECT_NE(html.find("&lt;pump &amp; &quot;valve&quot;&gt;, &#39;main&#39;"), std::string::npos);
}

TEST(Report, FollowsTheProgramsLanguage)
{
    for (const Language lang : {Language::English, Language::Chinese}) {
        ScratchFolder folder;
        const std::string file = SavedPlant(folder, lang);
        const ProgramRun run = RunTool({"--lang", gw::LanguageCode(lang), "report", file, "-o", folder / "r.html"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string html = folder.Read("r.html");
        gw::SetActiveLanguage(lang);
        for (const std::string& text : {gw::ReportString(ReportText::ReportTitle), gw::ReportString(ReportText::IoListTitle),
                                        gw::GetLangString(CommandText::MapAddress), "1 " + gw::GetLangString(FunctionText::ReadHoldingRegister), gw::GetLangString(ChoiceText::NonExchange)})
            EXPECT_NE(html.find(">" + text), std::string::npos) << text;
        gw::SetActiveLanguage(Language::English);   // the tool's run leaves its language behind
        EXPECT_NE(html.find(std::string("<html lang=\"") + gw::LanguageCode(lang) + "\">"), std::string::npos);
    }
}

// Results that are no result of gatewaycfg: refused with the file and the field named.
TEST(Report, RefusesResultsItCannotRead)
{
    const struct {
        const char* option;
        std::string content;
        std::string message;   // after the path
    } cases[] = {
        {"--probe-json", "", ": not a JSON document (at byte 1)"},
        {"--probe-json", "{\"commands\": [{\"command\": 1", ": not a JSON document (at byte 28)"},
        {"--probe-json", "{\"commands\": [{\"command\": 1}], \"input_image\": \"\"}", ": commands[0]: \"function\" is missing"},
        {"--probe-json",
         "{\"commands\": [{\"command\": 1, \"function\": 3, \"start\": 0, \"count\": 1, \"status\": \"ok\", \"exception\": "
         "null, \"ms\": \"fast\", \"values\": []}], \"input_image\": \"\"}",
         ": commands[0]: \"ms\" is not a number"},
        {"--probe-json", "{\"commands\": [], \"input_image\": \"00<script>\"}",
         ": \"input_image\" holds other characters than hexadecimal digits"},
        {"--probe-json", "{\"commands\": " + std::string(300000, '[') + std::string(300000, ']') + "}",
         ": commands[0]: not a JSON object"},
        {"--probe-json", std::string(5u << 20, ' '), ": larger than 4 MB, not a result of gatewaycfg"},
        {"--verify-json", "[true]", ": not a JSON object"},
        {"--verify-json", "{\"equal\": false, \"differences\": []}", ": \"equal\" does not agree with the list of differences"},
        {"--verify-json", "{\"equal\": false, \"differences\": [{\"node\": \"subnet\", \"item\": 5, \"left\": null, \"right\": \"1\"}]}",
         ": differences[0]: \"item\" is not a text"},
    };
    ScratchFolder folder;
    const std::string file = SavedPlant(folder);
    for (const auto& c : cases) {
        folder.Write("result.json", c.content);
        const ProgramRun run = RunTool({"report", file, "-o", folder / "r.html", c.option, folder / "result.json"});
        EXPECT_EQ(run.status, 65);
        EXPECT_EQ(run.err, folder / "result.json" + c.message + "\n");
    }
    const ProgramRun absent = RunTool({"report", file, "-o", folder / "r.html", "--verify-json", folder / "none.json"});
    EXPECT_EQ(absent.err, "Cannot open " + folder / "none.json" + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "r.html"));
}

} // namespace
