// gatewaycfg export FILE OUT on real files: exit status, messages and the workbook written.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cli/exit_codes.h"
#include "cli/gatewaycfg.h"
#include "support/run_in_process.h"
#include "export_test_support.h"
#include "file/config_file.h"

using namespace export_test;

namespace {

struct CommandCase {
    const char* name;
    // Prepares the folder (it holds config.xml with two commands); returns the arguments.
    std::function<std::vector<std::string>(TempDir&)> args;
    int status;
    std::string errNames;       // a path the message on stderr names; empty when none is expected
    std::string workbook;       // a workbook that is to be written; empty for none
};

std::vector<CommandCase> CommandCases()
{
    return {
        {"a configuration exported", [](TempDir& d) { return std::vector<std::string>{"export", d / "config.xml", d / "out.xlsx"}; },
         0, "", "out.xlsx"},
        {"an existing workbook replaced",
         [](TempDir& d) {
             WriteAll(d / "out.xlsx", "not a workbook");
             return std::vector<std::string>{"export", d / "config.xml", d / "out.xlsx"};
         },
         0, "", "out.xlsx"},
        {"FILE missing", [](TempDir& d) { return std::vector<std::string>{"export", d / "nothing.xml", d / "out.xlsx"}; },
         kExitBadFile, "nothing.xml", ""},
        {"FILE not a configuration",
         [](TempDir& d) {
             WriteAll(d / "notes.xml", "shopping list");
             return std::vector<std::string>{"export", d / "notes.xml", d / "out.xlsx"};
         },
         kExitBadFile, "notes.xml", ""},
        {"OUT in a missing folder",
         [](TempDir& d) { return std::vector<std::string>{"export", d / "config.xml", d / "no/out.xlsx"}; },
         kExitCannotWrite, "no/out.xlsx", ""},
        {"OUT is a folder",
         [](TempDir& d) {
             fs::create_directory(d / "out.xlsx");
             return std::vector<std::string>{"export", d / "config.xml", d / "out.xlsx"};
         },
         kExitCannotWrite, "out.xlsx", ""},
        {"OUT not given", [](TempDir& d) { return std::vector<std::string>{"export", d / "config.xml"}; },
         kExitUsage, "", ""},
    };
}

TEST(ExportCommand, ExitStatusMessagesAndWorkbook)
{
    for (const CommandCase& c : CommandCases()) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        CDeviceConfig config;
        CSlaveNode* slave = config.Subnet().AddNode();
        AddCommand(*slave, {3, "1", "2", "0000H", "0", "4", "Non-exchange", "CRC", "Fast Scan", "level"});
        AddCommand(*slave, {15, "8", "9", "4000H", "1", "2", "Non-exchange", "CRC", "Fast Scan", "valves"});
        ASSERT_TRUE(SaveFile(config, dir / "config.xml").ok);
        const std::string configBytes = ReadAll(dir / "config.xml");

        const ProgramRun run = RunTool(c.args(dir));
        EXPECT_EQ(run.status, c.status) << run.err;
        if (!c.errNames.empty()) {
            EXPECT_NE(run.err.find(dir / c.errNames), std::string::npos) << run.err;
        }
        EXPECT_EQ(ReadAll(dir / "config.xml"), configBytes) << "the configuration file was changed";
        if (c.workbook.empty()) {
            EXPECT_TRUE(!fs::exists(dir / "out.xlsx") || fs::is_directory(dir / "out.xlsx"));
            continue;
        }
        EXPECT_EQ(run.err, "");
        const ReadWorkbook book = ReadWorkbookFile(dir / c.workbook);
        ASSERT_TRUE(book.ok) << book.error;
        ASSERT_EQ(book.sheets.size(), 3u);
        // The file's two commands, read back through the configuration file.
        EXPECT_EQ(book.sheets[0].LastRow(), 3);
        EXPECT_EQ(book.sheets[0].Text(2, 1), "1");
        EXPECT_EQ(book.sheets[0].Text(2, 11), "level");
        EXPECT_EQ(book.sheets[0].Text(3, 2), "15");
        EXPECT_EQ(book.sheets[0].Text(3, 11), "valves");
    }
}

} // namespace
