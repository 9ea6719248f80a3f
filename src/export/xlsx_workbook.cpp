#include "export/xlsx_workbook.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <xlsxwriter.h>

#include <fcntl.h>
#include <unistd.h>

#include "file/text_encoding.h"

namespace {

// "B2" for row 2, column 2 (both 1-based).
std::string CellName(int row, int column)
{
    char name[LXW_MAX_CELL_NAME_LENGTH];
    lxw_rowcol_to_cell(name, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1));
    return name;
}

std::string Where(const SheetContent& sheet, const SheetCell& cell)
{
    return "sheet \"" + sheet.name + "\", cell " + CellName(cell.row, cell.column);
}

// Failures of libxlsxwriter that come from a file operation, where errno tells the cause.
bool IsFileError(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return true;
    default:
        return false;
    }
}

// Width of a text in character cells: one a code point, two for the wide East Asian ones.
double DisplayWidth(const std::string& text)
{
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

// Columns as wide as their longest text, within reason, so that headings and values can be read
// without widening them by hand.
void FitColumns(lxw_worksheet* worksheet, const SheetContent& sheet)
{
    std::map<int, double> widths;
    for (const SheetCell& cell : sheet.cells)
        widths[cell.column] = std::max(widths[cell.column], DisplayWidth(cell.text));
    for (const auto& [column, width] : widths)
        worksheet_set_column(worksheet, static_cast<lxw_col_t>(column - 1), static_cast<lxw_col_t>(column - 1),
                             std::clamp(width + 2, 6.0, 60.0), nullptr);
}

// libxlsxwriter prints "[ERROR]" lines of its own on stderr before it answers with an error
// code, which this program turns into a message that names the file. While the library works,
// stderr leads nowhere, so that the user reads one message, not three.
class CLibraryMessagesMuted {
public:
    CLibraryMessagesMuted()
    {
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        m_saved = nowhere < 0 ? -1 : ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (m_saved >= 0)
            ::dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~CLibraryMessagesMuted()
    {
        const int error = errno;
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
        errno = error;
    }
    CLibraryMessagesMuted(const CLibraryMessagesMuted&) = delete;
    CLibraryMessagesMuted& operator=(const CLibraryMessagesMuted&) = delete;

private:
    int m_saved = -1;
};

lxw_workbook* NewWorkbook(const std::string& path)
{
    const CLibraryMessagesMuted muted;
    return workbook_new(path.c_str());
}

} // namespace

CXlsxWorkbook::CXlsxWorkbook(const std::string& path) : m_workbook(NewWorkbook(path))
{
}

CXlsxWorkbook::~CXlsxWorkbook()
{
    const CLibraryMessagesMuted muted;
    if (m_workbook)
        lxw_workbook_free(m_workbook);
}

Outcome CXlsxWorkbook::AddSheet(const SheetContent& sheet)
{
    const CLibraryMessagesMuted muted;
    if (!m_workbook)
        return gw::Failure("the workbook could not be started (out of memory)");
    if (const lxw_error error = workbook_validate_sheet_name(m_workbook, sheet.name.c_str()); error != LXW_NO_ERROR)
        return gw::Failure("the sheet name \"" + sheet.name + "\" is refused: " + lxw_strerror(error));
    lxw_worksheet* worksheet = workbook_add_worksheet(m_workbook, sheet.name.c_str());
    if (!worksheet)
        return gw::Failure("the sheet \"" + sheet.name + "\" could not be added");
    for (const SheetCell& cell : sheet.cells) {
        if (cell.row < 1 || cell.column < 1)
            return gw::Failure(Where(sheet, cell) + ": no such cell");
        // libxlsxwriter takes C strings, so a NUL would cut the text short.
        if (cell.text.find('\0') != std::string::npos)
            return gw::Failure(Where(sheet, cell) + ": the text holds a NUL character");
        // The workbook's XML is UTF-8; any other bytes would make the file unreadable.
        if (!gw::IsValidUtf8(cell.text))
            return gw::Failure(Where(sheet, cell) + ": the text is not valid UTF-8");
        const lxw_error error = worksheet_write_string(worksheet, static_cast<lxw_row_t>(cell.row - 1),
                                                       static_cast<lxw_col_t>(cell.column - 1),
                                                       cell.text.c_str(), nullptr);
        if (error != LXW_NO_ERROR)
            return gw::Failure(Where(sheet, cell) + ": " + lxw_strerror(error));
    }
    FitColumns(worksheet, sheet);
    return {};
}

Outcome CXlsxWorkbook::Close()
{
    if (!m_workbook)
        return gw::Failure("the workbook could not be started (out of memory)");
    lxw_workbook* workbook = m_workbook;
    m_workbook = nullptr;   // workbook_close frees it, whatever it answers
    const CLibraryMessagesMuted muted;
    errno = 0;
    const lxw_error error = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        return {};
    std::string reason = lxw_strerror(error);
    if (IsFileError(error) && errno != 0)
        reason += std::string(" (") + std::strerror(errno) + ")";
    return gw::Failure(std::move(reason));
}
