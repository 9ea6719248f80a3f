#include "workbook_reader.h"

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace export_test {

namespace {

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Unescaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        default: out += text[i]; break;
        }
    }
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line, std::size_t parts)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() + 1 < parts) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos)
            break;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool ParseDump(const std::string& dump, ReadWorkbook& book)
{
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("sheet\t", 0) == 0) {
            book.sheets.push_back({Unescaped(line.substr(6)), {}});
            continue;
        }
        const std::vector<std::string> fields = SplitTabs(line, 4);
        if (fields.size() != 4 || book.sheets.empty()) {
            book.error = "unexpected line from the reader: " + line;
            return false;
        }
        const std::pair<int, int> at{std::stoi(fields[0]), std::stoi(fields[1])};
        book.sheets.back().cells[at] = {fields[2], Unescaped(fields[3])};
    }
    return true;
}

} // namespace

std::string ReadSheet::Text(int row, int column) const
{
    const auto it = cells.find({row, column});
    return it == cells.end() ? std::string() : it->second.text;
}

int ReadSheet::LastRow() const
{
    return cells.empty() ? 0 : cells.rbegin()->first.first;
}

const ReadSheet* ReadWorkbook::Sheet(const std::string& name) const
{
    for (const ReadSheet& sheet : sheets) {
        if (sheet.name == name)
            return &sheet;
    }
    return nullptr;
}

std::vector<std::string> ReadWorkbook::SheetNames() const
{
    std::vector<std::string> names;
    for (const ReadSheet& sheet : sheets)
        names.push_back(sheet.name);
    return names;
}

ReadWorkbook ReadWorkbookFile(const std::string& path)
{
    ReadWorkbook book;
    const std::string python = EXPORT_TEST_PYTHON;
    if (python.empty()) {
        book.error = "no python3 with openpyxl was found when the tests were configured (install python3-openpyxl)";
        return book;
    }
    const std::string command =
        ShellQuoted(python) + " " + ShellQuoted(EXPORT_TEST_DUMP_SCRIPT) + " " + ShellQuoted(path);
    std::FILE* raw = ::popen(command.c_str(), "r");
    if (!raw) {
        book.error = "cannot run " + command;
        return book;
    }
    std::string dump;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, raw)) > 0)
        dump.append(buffer, n);
    const int status = ::pclose(raw);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        book.error = "the reader refused " + path + " (its message is on stderr)";
        return book;
    }
    book.ok = ParseDump(dump, book);
    return book;
}

} // namespace export_test
