#include "ui/command_table.h"

#include <QCoreApplication>

#include "ui/ui_text.h"

namespace {

constexpr CommandInfo kCommands[] = {
    {ID_FILE_NEW, QT_TRANSLATE_NOOP("CMainFrame", "New(&N)\tCtrl+N"), "Ctrl+N", ":/toolbar/new.svg", CaptionText::New, ""},
    {ID_FILE_OPEN, QT_TRANSLATE_NOOP("CMainFrame", "Open(&O)...\tCtrl+O"), "Ctrl+O", ":/toolbar/open.svg", CaptionText::Open, ""},
    {ID_FILE_SAVE, QT_TRANSLATE_NOOP("CMainFrame", "Save(&S)\tCtrl+S"), "Ctrl+S", ":/toolbar/save.svg", CaptionText::Save, ""},
    {ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("CMainFrame", "Save As(&A)..."), "", "", {}, ""},
    {ID_FILE_MRU_FILE1, QT_TRANSLATE_NOOP("CMainFrame", "Recent File"), "", "", {}, ""},
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("CMainFrame", "Exit(&X)"), "", "", {}, ""},
    {ID_ADD_NODE, QT_TRANSLATE_NOOP("CMainFrame", "Add Node(&I)"), "", ":/toolbar/add_node.svg", {}, QT_TRANSLATE_NOOP("CMainFrame", "Add Node")},
    {ID_DELETE_NODE, QT_TRANSLATE_NOOP("CMainFrame", "Delete Node(&S)"), "", ":/toolbar/delete_node.svg", {}, QT_TRANSLATE_NOOP("CMainFrame", "Delete Node")},
    {ID_ADD_COMMAND, QT_TRANSLATE_NOOP("CMainFrame", "Add Command(&A)"), "", ":/toolbar/add_command.svg", {}, QT_TRANSLATE_NOOP("CMainFrame", "Add Command")},
    {ID_DELETE_COMMAND, QT_TRANSLATE_NOOP("CMainFrame", "Delete Command(&L)"), "", ":/toolbar/delete_command.svg", {}, QT_TRANSLATE_NOOP("CMainFrame", "Delete Command")},
    {ID_UPLOAD, QT_TRANSLATE_NOOP("CMainFrame", "Upload(Ctrl+U)"), "Ctrl+U", ":/toolbar/upload.svg", CaptionText::Upload, ""},
    {ID_DOWNLOAD, QT_TRANSLATE_NOOP("CMainFrame", "Download(Ctrl+D)"), "Ctrl+D", ":/toolbar/download.svg", CaptionText::Download, ""},
    {ID_EXPORT_XLS, QT_TRANSLATE_NOOP("CMainFrame", "Export XLS(Ctrl+E)"), "Ctrl+E", ":/toolbar/export.svg", CaptionText::Excel, ""},
    {ID_AUTO_MAPPING, QT_TRANSLATE_NOOP("CMainFrame", "Auto Mapping(Ctrl+M)"), "Ctrl+M", ":/toolbar/mapping.svg", CaptionText::Mapping, ""},
    {ID_CONFLICT_DETECT, QT_TRANSLATE_NOOP("CMainFrame", "Conflict Detect(Ctrl+T)"), "Ctrl+T", ":/toolbar/conflict.svg", CaptionText::Conflict, ""},
    {ID_TEST_COMMANDS, QT_TRANSLATE_NOOP("CMainFrame", "Test Commands..."), "", ":/toolbar/test_commands.svg", {}, QT_TRANSLATE_NOOP("CMainFrame", "Test Commands")},
    {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("CMainFrame", "Toolbar(&T)"), "", "", {}, ""},
    {ID_VIEW_TREE, QT_TRANSLATE_NOOP("CMainFrame", "Tree(&L)"), "", "", {}, ""},
    {ID_VIEW_ANNOTATION, QT_TRANSLATE_NOOP("CMainFrame", "Annotation(&I)"), "", "", {}, ""},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CMainFrame", "About(&A)..."), "", "", {}, ""},
    {ID_HELP_CONTENT, QT_TRANSLATE_NOOP("CMainFrame", "Content"), "", "", {}, ""},
    {ID_COMPARE_MODULE, QT_TRANSLATE_NOOP("CMainFrame", "Compare with Module…\tCtrl+K"), "Ctrl+K", ":/toolbar/compare.svg", {}, QT_TRANSLATE_NOOP("CMainFrame", "Compare with Module")},
    {ID_COMPARE_FILE, QT_TRANSLATE_NOOP("CMainFrame", "Compare with File…"), "", "", {}, ""},
    {ID_VIEW_LINE, QT_TRANSLATE_NOOP("CMainFrame", "Line(&N)"), "", "", {}, ""},
    {ID_FLEET, QT_TRANSLATE_NOOP("CMainFrame", "Fleet…"), "", "", {}, ""},
    {ID_EXPORT_IO_LIST, QT_TRANSLATE_NOOP("CMainFrame", "Export I/O List…"), "", "", {}, ""},
    {ID_EXPORT_REPORT, QT_TRANSLATE_NOOP("CMainFrame", "Export Report…"), "", "", {}, ""},
    {ID_FILE_PRINT, QT_TRANSLATE_NOOP("CMainFrame", "Print(&P)…\tCtrl+P"), "Ctrl+P", "", {}, ""},
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
    if (command.tipStringId != StringId{})
        return LangText(command.tipStringId);
    return *command.tipText ? QCoreApplication::translate("CMainFrame", command.tipText) : QString();
}
