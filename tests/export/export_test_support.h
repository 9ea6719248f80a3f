#pragma once
// Helpers of the export tests: scratch folders, file contents, configurations with commands
// whose values are stored straight into the items (as a configuration file brings them), and
// the comparison of a sheet read back with the rows it should hold.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/lang_strings.h"
#include "workbook_reader.h"

namespace export_test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir()
    {
        path_ = fs::temp_directory_path() /
                ("gw-export-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

    // Names of everything in the folder, recursively, relative to it.
    std::set<std::string> Listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(path_))
            names.insert(fs::relative(entry.path(), path_).string());
        return names;
    }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The values of a command's rows 1-9; row 0 (the function code) comes from the function.
struct CommandValues {
    int code = 3;
    std::string start, count, address, bit = "0", bytes = "0";
    std::string swap = "Non-exchange", check = "CRC", scan = "Fast Scan", mnemonic;
};

inline void SetItem(CParamItem* item, const std::string& value)
{
    ASSERT_NE(item, nullptr);
    item->value = value;
}

inline CModbusCommand* AddCommand(CSlaveNode& slave, const CommandValues& v)
{
    int index = kUnknownFunctionIndex;
    GetFunctionByCode(v.code, &index);
    CModbusCommand* command = AddCommandTo(&slave, index).command;
    EXPECT_NE(command, nullptr) << "function code " << v.code;
    if (!command)
        return nullptr;
    const std::string values[] = {v.start, v.count, v.address, v.bit, v.bytes, v.swap, v.check, v.scan, v.mnemonic};
    for (int row = CMD_ROW_START_ADDRESS; row < CMD_ROW_COUNT; ++row)
        SetItem(command->GetItemAt(row), values[row - CMD_ROW_START_ADDRESS]);
    return command;
}

// Row r of the list is the sheet's row r + 1; an empty text stands for an empty cell.
using Rows = std::vector<std::vector<std::string>>;

// The sheet holds exactly the rows: every non-empty text as a string cell, nothing else.
inline void ExpectSheetRows(const ReadWorkbook& book, const std::string& name, const Rows& rows)
{
    SCOPED_TRACE("sheet \"" + name + "\"");
    const ReadSheet* sheet = book.Sheet(name);
    ASSERT_NE(sheet, nullptr);
    for (const auto& [at, cell] : sheet->cells) {
        const auto [row, column] = at;
        const bool inside = row >= 1 && row <= static_cast<int>(rows.size()) && column >= 1 &&
                            column <= static_cast<int>(rows[row - 1].size());
        EXPECT_TRUE(inside && !rows[row - 1][column - 1].empty())
            << "unexpected cell at row " << row << ", column " << column << ": \"" << cell.text << "\"";
        EXPECT_EQ(cell.type, "s") << "row " << row << ", column " << column << " is not a string";
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (rows[r][c].empty())
                continue;
            EXPECT_EQ(sheet->Text(static_cast<int>(r) + 1, static_cast<int>(c) + 1), rows[r][c])
                << "row " << r + 1 << ", column " << c + 1;
        }
    }
}

inline bool BuiltInEnglish()
{
    return BuiltLanguage() == Language::English;
}

} // namespace export_test
