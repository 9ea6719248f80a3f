// Files that only a hand (or a hostile program) can write and that used to pass for sound: a
// protocol mode other than 0 and 1, a mode the "Protocol Select" row does not say, 49 commands,
// a function the module cannot poll with, references and encodings the reader would change.
// check and the download refuse each alike, and gateway-sim's log shows that no frame reached
// the module; show prints what the download goes by.

#include <gtest/gtest.h>

#include "file/config_file.h"
#include "model/lang_strings.h"
#include "support/config_builder.h"
#include "support/run_program.h"

namespace {

using namespace test_config;

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The file with its last command written twice.
std::string WithLastCommandTwice(const std::string& text)
{
    const std::size_t begin = text.rfind("<Command ");
    const std::size_t end = text.find("</Command>", begin) + std::string("</Command>\n").size();
    std::string doubled = text;
    return doubled.insert(end, text.substr(begin, end - begin) + std::string(24, ' '));
}

// The file with the value of the first item labelled label written as value.
std::string WithValue(std::string text, const std::string& label, const std::string& value)
{
    const std::size_t item = text.find("<Item Value=\"" + label + "\">");
    const std::string field = "<CurrentVal Value=\"";
    EXPECT_NE(item, std::string::npos) << label;
    const std::size_t at = text.find(field, item) + field.size();
    return text.replace(at, text.find('"', at) - at, value);
}

TEST(RefusedFiles, CheckAndDownloadRefuseThemBeforeAnyFrameAndShowTellsWhatCounts)
{
    auto master = MakeFilledConfig(MODE_MODBUS_MASTER, 3), user = MakeFilledConfig(MODE_USER_CONFIG, -1),
         full = MakeFilledConfig(MODE_MODBUS_MASTER, 48);
    std::string masterText, userText, fullText;
    ASSERT_TRUE(gw::WriteConfigText(*master, &masterText).ok && gw::WriteConfigText(*user, &userText).ok &&
                gw::WriteConfigText(*full, &fullText).ok);
    const std::string mode0 = "<CurrentModeType Value=\"0\" />", mode1 = "<CurrentModeType Value=\"1\" />";
    const std::string master20 = gw::GetLangString(ChoiceText::ModbusMaster), user21 = gw::GetLangString(ChoiceText::UserConfig);
    const struct {
        const char* name;
        std::string text;
        int status;          // of check and download
        std::string says;    // part of check's message
        std::string shows;   // a line of show; none: show refuses the file too
    } rows[] = {
        {"mode 2", Replaced(masterText, mode0, "<CurrentModeType Value=\"2\" />"), 8,
         "subnet / Protocol Select = \"" + master20 + "\": the file's protocol mode 2 is neither 0",
         "Protocol Select = unknown mode 2 (the row reads \"" + master20 + "\")"},
        {"mode -1", Replaced(masterText, mode0, "<CurrentModeType Value=\"-1\" />"), 8, "protocol mode -1 is neither",
         "Protocol Select = unknown mode -1 (the row reads \"" + master20 + "\")"},
        {"mode 1 said to be Modbus Master", Replaced(masterText, mode0, mode1), 8,
         "subnet / Protocol Select = \"" + master20 + "\": the file's protocol mode is 1 (\"" + user21 + "\")",
         "Protocol Select = " + user21 + " (the row reads \"" + master20 + "\")"},
        {"mode 0 said to be User Config", Replaced(userText, mode1, mode0), 8,
         "the file's protocol mode is 0 (\"" + master20 + "\")", "Protocol Select = " + master20 + " (the row reads \"" + user21 + "\")"},
        {"49 commands", WithLastCommandTwice(fullText), 8, "slave:1: " + gw::GetLangString(MessageText::TooManyCommands) + " (the node holds 49)",
         "[command:49] 16 Preset Multiple Registers"},
        {"function 07", WithValue(masterText, "Function Code", "7"), 8,
         "command:1 / Function Code = \"7\": function 7 (\"07 Read Exception Status\") cannot be configured",
         "Function Code = 7  (read-only)"},
        {"NUL by reference", WithValue(masterText, "Response Timeout(50~60000ms)", "1&#0;234"), 65, "stands for NUL", ""},
        {"ISO-8859-1", Replaced(masterText, "encoding=\"gb2312\"", "encoding=\"ISO-8859-1\""), 65, "ISO-8859-1", ""},
    };
    ScratchFolder folder;
    const std::string file = folder / "refused.xml", link = folder / "module";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        folder.Write("refused.xml", row.text);
        const ProgramRun check = RunTool({"check", file});
        EXPECT_EQ(check.status, row.status);
        EXPECT_TRUE(Has(check.err, row.says)) << check.err;
        const ProgramRun show = RunTool({"show", file});
        EXPECT_EQ(show.status, row.shows.empty() ? 65 : 0) << show.err;
        EXPECT_TRUE(row.shows.empty() || Has(show.out, "  " + row.shows + "\n") || Has(show.out, "\n" + row.shows + "\n"))
            << show.out;

        ServingProcess sim({GATEWAY_SIM_PATH, "-v", "--link", link, "--idle-exit", "30"});
        ASSERT_TRUE(sim.Running());
        const ProgramRun down = RunTool({"download", file, "--port", link});
        EXPECT_EQ(down.status, row.status);
        EXPECT_TRUE(Has(down.err, row.says)) << down.err;
        sim.Stop();
        EXPECT_EQ(sim.Err(), "") << "a frame reached the module";
    }
}

} // namespace
