// gatewaycfg export FILE OUT, and exports that cannot be written: the exit status, the message
// naming the path and the reason, and the folder left as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>

#include "cli/exit_codes.h"
#include "export/workbook_export.h"
#include "file/config_file.h"
#include "support/config_builder.h"
#include "support/run_program.h"
#include "support/workbook_text.h"

namespace fs = std::filesystem;
using test_config::MakeConfig;
using test_config::SetValue;

namespace {

TEST(ExportCommand, ExitStatusMessagesAndWorkbook)
{
    struct Row {
        std::vector<std::string> files;   // FILE and OUT in the folder
        int status;
        std::string named;   // the path on stderr when refused, the workbook when written
    };
    const Row rows[] = {
        {{"plant.xml", "out.xlsx"}, 0, "out.xlsx"},         {{"plant.xml", "older.xlsx"}, 0, "older.xlsx"},
        {{"nothing.xml", "out.xlsx"}, kExitBadFile, "nothing.xml"}, {{"notes.xml", "out.xlsx"}, kExitBadFile, "notes.xml"},
        {{"plant.xml", "no/out.xlsx"}, kExitCannotWrite, "no/out.xlsx"},
        {{"plant.xml", "folder.xlsx"}, kExitCannotWrite, "folder.xlsx"}, {{"plant.xml"}, kExitUsage, ""},
    };
    ::umask(022);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.files.back());
        const ScratchFolder dir;
        ASSERT_TRUE(gw::SaveFile(*MakeConfig({{3, "1", "2", "0000H"}, {15, "8", "9", "4000H", "1"}}), dir / "plant.xml").ok);
        dir.Write("notes.xml", "shopping list");
        dir.Write("older.xlsx", "not a workbook");
        fs::permissions(dir / "older.xlsx", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        fs::create_directory(dir / "folder.xlsx");
        const auto before = dir.Names();
        const std::string config = dir.Read("plant.xml");
        std::vector<std::string> args = {"export"};
        for (const std::string& file : row.files)
            args.push_back(dir / file);
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_EQ(dir.Read("plant.xml"), config) << "the configuration file was changed";
        if (row.status != 0) {
            EXPECT_NE(run.err.find(row.named.empty() ? "" : dir / row.named), std::string::npos) << run.err;
            EXPECT_EQ(dir.Names(), before);
            EXPECT_EQ(dir.Read("older.xlsx"), "not a workbook");
            continue;
        }
        EXPECT_EQ(run.out, "Exported " + args[1] + " to " + args[2] + "\n");
        // A new workbook gets the usual permissions, not a private temporary file's; a replaced one keeps its own.
        EXPECT_EQ(fs::status(args[2]).permissions(), row.named == "out.xlsx" ? fs::perms(0644) : fs::perms(0604));
        EXPECT_EQ(dir.Names().size(), before.size() + (row.named == "out.xlsx"));
        const std::string book = WorkbookText(args[2]);
        EXPECT_NE(book.find("\n1|3|1|2|0000H|0|"), std::string::npos) << book;
        EXPECT_NE(book.find("\n2|15|8|9|4000H|1|"), std::string::npos) << book;
    }
}

TEST(ExportFailure, NamesThePathAndTheReasonAndLeavesEverythingAsItWas)
{
    struct Row {
        const char* target;
        std::function<void(CDeviceConfig&)> edit;
        std::string reason;
    };
    const Row rows[] = {
        {"missing/book.xlsx", [](CDeviceConfig&) {}, std::strerror(ENOENT)},
        {"folder.xlsx", [](CDeviceConfig&) {}, "folder"},
        {"locked/book.xlsx", [](CDeviceConfig&) {}, std::strerror(EACCES)},
        {"book.xlsx",
         [](CDeviceConfig& root) {
             SetValue(test_config::AddCommand(test_config::SlaveOf(root), {4, "1", "2", "0000H"})->GetItemAt(CMD_ROW_MNEMONIC),
                      std::string(40000, 'x'));   // longer than a cell takes
         },
         "\"Order list\", cell K3"},
        {"book.xlsx", [](CDeviceConfig& root) { SetValue(root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "\xB3\xAC"); },
         "\"Subnet\", cell H2"},   // GBK bytes, not UTF-8
        {"book.xlsx",
         [](CDeviceConfig& root) { SetValue(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), std::string("10\0" "00", 5)); },
         "\"PROFIBUS\", cell E2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        const ScratchFolder dir;
        for (const char* folder : {"folder.xlsx", "locked"})
            fs::create_directory(dir / folder);
        for (const char* older : {"book.xlsx", "folder.xlsx/inside.txt", "locked/book.xlsx"})
            dir.Write(older, "PK\x03\x04 an older export that must survive");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        if (row.reason == std::strerror(EACCES) && ::access((dir / "locked").c_str(), W_OK) == 0)
            continue;   // root may write anyway
        const auto snapshot = [&] {
            std::map<std::string, std::string> files;
            for (const std::string& name : dir.Names())
                files[name] = fs::is_regular_file(dir / name) ? dir.Read(name) : "<folder>";
            return files;
        };
        const auto before = snapshot();
        const auto root = MakeConfig({{3, "1", "2", "0000H"}});
        row.edit(*root);

        const ExportResult result = gw::ExportWorkbook(*root, dir / row.target);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(dir / row.target), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(row.reason), std::string::npos) << result.message;
        EXPECT_EQ(snapshot(), before);
    }
}

} // namespace
