// gatewaycfg iolist checked against a calculation of its own, made in Python from what show
// prints, with the CSV read back by Python's csv module; and the hand-edited files it refuses.

#include <gtest/gtest.h>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "model/lang_strings.h"
#include "report/report_texts.h"
#include "support/config_builder.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

struct ListCase {
    const char* name;
    std::vector<CommandValues> commands;
    bool automap;
    std::vector<std::string> options;

    friend void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<std::string> Joined(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Coils and inputs of every length at every mapping bit, and single coils at every bit.
std::vector<CommandValues> EveryMappingBit()
{
    std::vector<CommandValues> commands;
    for (int bit = 0; bit < 8; ++bit) {
        const std::string b = std::to_string(bit);
        commands.push_back({1, "10", std::to_string(bit + 1), "", b});
        commands.push_back({5, "20", "1", "", b});
        commands.push_back({bit % 2 ? 2 : 15, "30", std::to_string(9 + bit), "", b});
    }
    return commands;
}

const std::vector<CommandValues> kEveryCode = {{1, "10", "10", "", "3"}, {2, "20", "7"}, {3, "30", "3"}, {4, "40", "2"},
                                              {5, "50", "1", "", "7"},  {6, "60"},      {15, "70", "13", "", "5"},
                                              {16, "80", "4"}};

class IoListAgainstShow : public ::testing::TestWithParam<ListCase> {};

TEST_P(IoListAgainstShow, MatchesTheCalculation)
{
    const ListCase& c = GetParam();
    ScratchFolder folder;
    auto root = MakeConfig(c.commands);
    if (c.automap)
        gw::AutoMap(*root);
    const std::string file = folder / "plant.xml";
    ASSERT_TRUE(gw::SaveFile(*root, file).ok);
    folder.Write("show.txt", RunTool({"show", file}).out);
    for (const std::vector<std::string>& run : {std::vector<std::string>{"-o", folder / "list.csv"},
                                                 std::vector<std::string>{"--format", "json", "-o", folder / "list.json"}}) {
        const ProgramRun listed = RunTool(Joined(Joined({"iolist", file}, run), c.options));
        ASSERT_EQ(listed.status, 0) << listed.err;
    }
    const ProgramRun checked = RunProgram("/usr/bin/python3",
                                          Joined({REPORT_SCRIPTS "/expected_io_list.py", folder / "show.txt",
                                                  folder / "list.csv", folder / "list.json"},
                                                 c.options),
                                          folder.Path().string());
    EXPECT_EQ(checked.out + checked.err, "ok\n");
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, IoListAgainstShow,
    ::testing::Values(
        ListCase{"EveryCode", kEveryCode, true, {"--input-base", "256", "--output-base", "64"}},
        ListCase{"EveryCodeByWordPerBit", kEveryCode, true,
                 {"--bits", "--plc-addressing", "word", "--input-base", "101", "--output-base", "0"}},
        ListCase{"EveryMappingBit", EveryMappingBit(), true, {"--bits", "--input-base", "0", "--output-base", "512"}},
        ListCase{"SharedBytes",
                 {{3, "1", "2", "0000H"}, {1, "1", "16", "0001H"}, {2, "1", "3", "0003H", "5"}, {4, "1", "1", "0003H"},
                  {16, "1", "1", "4000H"}, {15, "1", "3", "4000H", "2"}, {5, "1", "1", "4001H", "3"}},
                 false, {"--input-base", "8"}},
        ListCase{"Overflow",
                 {{3, "1", "10", "00F0H"}, {1, "1", "20", "00F2H", "4"}, {4, "1", "1", "4000H"}, {16, "1", "3", "40F2H"},
                  {5, "1", "1", "40F3H", "7"}},
                 false, {"--bits", "--output-base", "1000"}},
        ListCase{"OverflowAfterAutomap", {{3, "1", "122"}, {2, "1", "12", "", "6"}, {6, "1"}}, true, {}}),
    [](const auto& instance) { return std::string(instance.param.name); });

TEST(IoListCommand, SaysWhatTheMasterMustProvideInTheProgramsLanguage)
{
    ScratchFolder folder;
    const std::string file = folder / "plant.xml";
    for (const Language lang : {Language::English, Language::Chinese}) {
        gw::SetActiveLanguage(lang);
        ASSERT_TRUE(gw::SaveFile(*MakeConfig({{3, "1", "2", "0000H"}, {1, "1", "3", "0003H"}, {16, "1", "1", "40F3H"}}), file).ok);
        const std::string heading = "| " + gw::GetLangString(CommandText::Mnemonic) + " |";
        const std::vector<std::string> summary = {
            gw::ReportString(ReportText::InputBytesNeeded, {"4"}), gw::ReportString(ReportText::OutputBytesNeeded, {"245"}),
            gw::ReportString(ReportText::SharedByte, {"0x03 (3)", gw::ReportString(ReportText::AreaInput), "1, 2"}),
            gw::ReportString(ReportText::AreaOverflow, {gw::GetLangString(MessageText::OutputOverflow), "245"})};
        gw::SetActiveLanguage(Language::English);
        const ProgramRun md = RunTool({"--lang", gw::LanguageCode(lang), "iolist", file, "--format", "md"});
        const ProgramRun csv = RunTool({"--lang", gw::LanguageCode(lang), "iolist", file});
        gw::SetActiveLanguage(Language::English);   // the tool's run leaves its language behind
        EXPECT_NE(md.out.find(heading), std::string::npos) << md.out;
        for (const std::string& line : summary) {
            EXPECT_NE(md.out.find("- " + line + "\n"), std::string::npos) << line << "\n" << md.out;
            EXPECT_NE(csv.err.find(line + "\n"), std::string::npos) << line << "\n" << csv.err;
        }
    }
}

// Files edited by hand: what no edit could store is refused with the command and the item named,
// by the list and the report alike; an address past its area's end is an overflow, and listed.
TEST(IoListCommand, RefusesValuesNoEditCouldStore)
{
    const struct {
        CommandValues command;
        int status;
        std::string message;
    } cases[] = {
        {{3, "1", "2", ""}, 6, "command:1: " + gw::GetLangString(MessageText::EmptyData) + " \"03 Read Holding Register\\Mapping Address(HEX)\""},
        {{1, "1", "2", "0000H", ""}, 6, "command:1: " + gw::GetLangString(MessageText::EmptyData) + " \"01 Read Coil Status\\Mapping Bit(0-7)\""},
        {{16, "1", "2", "3FFFH"}, 8, "command:1 / Mapping Address(HEX) = \"3FFFH\""},
        {{16, "1", "2", "40F3A"}, 8, "command:1 / Mapping Address(HEX) = \"40F3A\""},
        {{3, "1", "2", "1GH"}, 7, "command:1 / Mapping Address(HEX) = \"1GH\""},
        {{1, "1", "99999", "0000H"}, 8, "command:1 / Number of Data = \"99999\""},
        {{15, "1", "2", "4000H", "8"}, 8, "command:1 / Mapping Bit(0-7) = \"8\""},
        {{4, "-1", "2", "0000H"}, 7, "command:1 / Starting Address = \"-1\""},
        {{4, "1", "2", "FFFFH"}, 0, ""},
    };
    ScratchFolder folder;
    const std::string file = folder / "plant.xml";
    for (const auto& c : cases) {
        ASSERT_TRUE(gw::SaveFile(*MakeConfig({c.command}), file).ok);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"iolist", file}, {"report", file, "-o", folder / "report.html"}}) {
            const ProgramRun run = RunTool(args);
            EXPECT_EQ(run.status, c.status) << args[0] << " " << c.message << run.err;
            if (c.status != 0) {
                EXPECT_EQ(run.err.substr(0, file.size() + 2 + c.message.size()), file + ": " + c.message) << run.err;
            }
        }
    }
}

} // namespace
