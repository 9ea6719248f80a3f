#include "ui/command_table.h"

#include "ui/ui_text.h"

namespace {

constexpr CommandInfo kCommands[] = {
    {ID_FILE_NEW, "New(&N)\tCtrl+N", "Ctrl+N", ":/toolbar/new.svg", 4, ""},
    {ID_FILE_OPEN, "Open(&O)...\tCtrl+O", "Ctrl+O", ":/toolbar/open.svg", 6, ""},
    {ID_FILE_SAVE, "Save(&S)\tCtrl+S", "Ctrl+S", ":/toolbar/save.svg", 5, ""},
    {ID_FILE_SAVE_AS, "Save As(&A)...", "", "", 0, ""},
    {ID_FILE_MRU_FILE1, "Recent File", "", "", 0, ""},
    {ID_APP_EXIT, "Exit(&X)", "", "", 0, ""},
    {ID_ADD_NODE, "Add Node(&I)", "", ":/toolbar/add_node.svg", 0, "Add Node"},
    {ID_DELETE_NODE, "Delete Node(&S)", "", ":/toolbar/delete_node.svg", 0, "Delete Node"},
    {ID_ADD_COMMAND, "Add Command(&A)", "", ":/toolbar/add_command.svg", 0, "Add Command"},
    {ID_DELETE_COMMAND, "Delete Command(&L)", "", ":/toolbar/delete_command.svg", 0, "Delete Command"},
    {ID_UPLOAD, "Upload(Ctrl+U)", "Ctrl+U", ":/toolbar/upload.svg", 11, ""},
    {ID_DOWNLOAD, "Download(Ctrl+D)", "Ctrl+D", ":/toolbar/download.svg", 12, ""},
    {ID_EXPORT_XLS, "Export XLS(Ctrl+E)", "Ctrl+E", ":/toolbar/export.svg", 14, ""},
    {ID_AUTO_MAPPING, "Auto Mapping(Ctrl+M)", "Ctrl+M", ":/toolbar/mapping.svg", 13, ""},
    {ID_CONFLICT_DETECT, "Conflict Detect(Ctrl+T)", "Ctrl+T", ":/toolbar/conflict.svg", 5017, ""},
    {ID_TEST_COMMANDS, "Test Commands...", "", ":/toolbar/test_commands.svg", 0, "Test Commands"},
    {ID_VIEW_TOOLBAR, "Toolbar(&T)", "", "", 0, ""},
    {ID_VIEW_TREE, "Tree(&L)", "", "", 0, ""},
    {ID_VIEW_ANNOTATION, "Annotation(&I)", "", "", 0, ""},
    {ID_APP_ABOUT, "About(&A)...", "", "", 0, ""},
    {ID_HELP_CONTENT, "Content", "", "", 0, ""},
    {ID_COMPARE_MODULE, "Compare with Module\u2026\tCtrl+K", "Ctrl+K", ":/toolbar/compare.svg", 0, "Compare with Module"},
    {ID_COMPARE_FILE, "Compare with File\u2026", "", "", 0, ""},
    {ID_VIEW_LINE, "Line(&N)", "", "", 0, ""},
};

constexpr int kToolBar[] = {
    ID_FILE_NEW,       ID_FILE_SAVE, ID_FILE_OPEN,    ID_ADD_NODE,     ID_DELETE_NODE,     ID_ADD_COMMAND,
    ID_DELETE_COMMAND, ID_UPLOAD,    ID_DOWNLOAD,     ID_COMPARE_MODULE, ID_AUTO_MAPPING, ID_CONFLICT_DETECT, ID_TEST_COMMANDS,
    ID_EXPORT_XLS,
};

} // namespace

std::span<const CommandInfo> CommandTable()
{
    return kCommands;
}

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& command : kCommands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

std::span<const int> ToolBarCommands()
{
    return kToolBar;
}

QString CommandToolTip(const CommandInfo& command)
{
    if (command.tipStringId != 0)
        return LangText(command.tipStringId);
    return QString::fromUtf8(command.tipText);
}
