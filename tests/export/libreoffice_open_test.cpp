// The exported workbook opens in LibreOffice Calc, where it is installed: a headless
// conversion to OpenDocument loads the whole workbook and fails on a damaged one.

#include <gtest/gtest.h>

#include <cstdlib>

#include "export/workbook_export.h"
#include "export_test_support.h"

using namespace export_test;

namespace {

std::string FindOnPath(const std::vector<std::string>& names)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        for (const std::string& name : names) {
            const fs::path candidate = fs::path(folder.empty() ? "." : folder) / name;
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate.string();
        }
    }
    return {};
}

TEST(WorkbookInLibreOffice, ConvertsHeadless)
{
    const std::string office = FindOnPath({"soffice", "libreoffice"});
    if (office.empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    TempDir dir;
    CDeviceConfig root;
    CSlaveNode* slave = root.Subnet().AddNode();
    for (int n = 0; n < 48; ++n)
        AddCommand(*slave, {3, std::to_string(n), "1", "0000H", "0", "2", "Non-exchange", "CRC", "Fast Scan", "温度 " + std::to_string(n)});
    ASSERT_TRUE(ExportWorkbook(root, dir / "book.xlsx").ok);

    const std::string command = "'" + office + "' --headless --norestore -env:UserInstallation=file://" +
                                dir.path().string() + "/profile --convert-to ods --outdir '" +
                                dir.path().string() + "' '" + (dir / "book.xlsx") + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(fs::exists(dir / "book.ods")) << "LibreOffice could not load the workbook";
    EXPECT_GT(fs::file_size(dir / "book.ods"), 0u);
}

} // namespace
