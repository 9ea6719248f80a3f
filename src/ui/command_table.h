#pragma once
// The workbench's commands: id, menu text, accelerator, tool-bar image and tool-tip. The menus,
// the tool bar and the accelerators of the main window are all built from this table.

#include <QString>
#include <cstdint>
#include <span>

#include "model/string_ids.h"

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616,
    ID_APP_EXIT = 57665,
    ID_ADD_NODE = 32771,
    ID_DELETE_NODE = 32772,
    ID_ADD_COMMAND = 32773,
    ID_DELETE_COMMAND = 32774,
    ID_UPLOAD = 32775,
    ID_DOWNLOAD = 32776,
    ID_EXPORT_XLS = 32777,
    ID_AUTO_MAPPING = 32778,
    ID_CONFLICT_DETECT = 32784,
    ID_TEST_COMMANDS = 32800,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_TREE = 32779,
    ID_VIEW_ANNOTATION = 32780,
    ID_APP_ABOUT = 57664,
    ID_HELP_CONTENT = 32782,
    ID_COMPARE_MODULE = 32850,
    ID_COMPARE_FILE = 32851,
    ID_VIEW_LINE = 32852,
    ID_FLEET = 32853,
    ID_EXPORT_IO_LIST = 32860,
    ID_EXPORT_REPORT = 32861,
    ID_FILE_PRINT = 57607,
};

struct CommandInfo {
    int id;
    const char* menuText;      // with its mnemonic, and "\t" before a shown accelerator; translated
                               // in the context "CMainFrame", as the tool-tip texts are
    const char* accelerator;   // key sequence, empty for none
    const char* icon;          // tool-bar image in the resources, empty for none
    StringId tipStringId;      // tool-tip from the string table, none when tipText is used
    const char* tipText;       // tool-tip of its own, empty for none
};

// Every command, in the order of the menus.
std::span<const CommandInfo> CommandTable();
// The command with an id; none for an unknown id.
const CommandInfo* FindCommand(int id);
// The tool-bar buttons, left to right.
std::span<const int> ToolBarCommands();
// The tool-tip of a command (empty for none).
QString CommandToolTip(const CommandInfo& command);
