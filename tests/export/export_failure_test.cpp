// Exports that cannot be written: the result names the path and the reason, an existing file
// keeps its bytes and no temporary file stays behind.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "export/workbook_export.h"
#include "export_test_support.h"

using namespace export_test;

namespace {

const char* const kOldContents = "PK\x03\x04 an older export that must survive";

struct FailureCase {
    const char* name;
    // Prepares the folder and the configuration; returns the export's target path.
    std::function<std::string(TempDir&, CDeviceConfig&)> prepare;
    std::string reason;   // part of the message that tells why
};

CSlaveNode& SlaveWithOneCommand(CDeviceConfig& root)
{
    CSlaveNode* slave = root.Subnet().AddNode();
    AddCommand(*slave, {3, "1", "2", "0000H", "0", "4", "Non-exchange", "CRC", "Fast Scan", "level"});
    return *slave;
}

std::vector<FailureCase> FailureCases()
{
    return {
        {"the folder does not exist",
         [](TempDir& dir, CDeviceConfig& root) {
             SlaveWithOneCommand(root);
             return dir / "missing/book.xlsx";
         },
         std::strerror(ENOENT)},
        {"the target is a folder",
         [](TempDir& dir, CDeviceConfig& root) {
             SlaveWithOneCommand(root);
             fs::create_directory(dir / "book.xlsx");
             WriteAll(dir / "book.xlsx/inside.txt", kOldContents);
             return dir / "book.xlsx";
         },
         "folder"},
        {"a text longer than a cell takes, with an older export in place",
         [](TempDir& dir, CDeviceConfig& root) {
             CSlaveNode& slave = SlaveWithOneCommand(root);
             AddCommand(slave, {4, "1", "2", "0000H", "0", "4", "Non-exchange", "CRC", "Fast Scan",
                                std::string(40000, 'x')});
             WriteAll(dir / "book.xlsx", kOldContents);
             return dir / "book.xlsx";
         },
         "\"Order list\", cell K3"},
        {"a text that is not UTF-8, with an older export in place",
         [](TempDir& dir, CDeviceConfig& root) {
             SlaveWithOneCommand(root);
             SetItem(root.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "\xB3\xAC\xCA\xB1");   // GBK bytes
             WriteAll(dir / "book.xlsx", kOldContents);
             return dir / "book.xlsx";
         },
         "\"Subnet\", cell H2"},
        {"a text with a NUL character, with an older export in place",
         [](TempDir& dir, CDeviceConfig& root) {
             SlaveWithOneCommand(root);
             SetItem(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), std::string("10\0" "00", 5));
             WriteAll(dir / "book.xlsx", kOldContents);
             return dir / "book.xlsx";
         },
         "\"PROFIBUS\", cell E2"},
    };
}

// Everything in the folder with its contents, to compare before and after.
std::map<std::string, std::string> Snapshot(const TempDir& dir)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : dir.Listing()) {
        const fs::path path = dir.path() / name;
        files[name] = fs::is_regular_file(path) ? ReadAll(path.string()) : std::string("<folder>");
    }
    return files;
}

TEST(WorkbookExportFailure, NamesThePathAndTheReasonAndLeavesEverythingAsItWas)
{
    for (const FailureCase& c : FailureCases()) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        CDeviceConfig root;
        const std::string target = c.prepare(dir, root);
        const auto before = Snapshot(dir);

        const ExportResult result = ExportWorkbook(root, target);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(target), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(c.reason), std::string::npos) << result.message;
        EXPECT_EQ(Snapshot(dir), before) << "the folder changed: " << result.message;
    }
}

TEST(WorkbookExportFailure, AFolderWithoutWritePermission)
{
    TempDir dir;
    const std::string folder = dir / "locked";
    fs::create_directory(folder);
    WriteAll(folder + "/book.xlsx", kOldContents);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    if (::access(folder.c_str(), W_OK) == 0) {
        ::chmod(folder.c_str(), 0755);
        GTEST_SKIP() << "this user may write into a read-only folder (root)";
    }

    CDeviceConfig root;
    SlaveWithOneCommand(root);
    const ExportResult result = ExportWorkbook(root, folder + "/book.xlsx");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(folder + "/book.xlsx"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find(std::strerror(EACCES)), std::string::npos) << result.message;
    EXPECT_EQ(ReadAll(folder + "/book.xlsx"), kOldContents);
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"locked", "locked/book.xlsx"}));
    ::chmod(folder.c_str(), 0755);   // so that the scratch folder can be removed
}

} // namespace
