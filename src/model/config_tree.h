#pragma once
// A toolkit-free picture of the configuration tree. The desktop tree control, the conflict
// dialog's command tree and the command-line tool fill themselves from it.

#include <string>
#include <vector>

class CConfigNode;
class CSlaveNode;
class CModbusCommand;

// Type codes of tree records.
enum TreeRecordType : int {
    RECORD_NONE = 0,
    RECORD_COMMAND = 2,
    RECORD_SLAVE = 3,
    RECORD_FIELDBUS = 4,
    RECORD_SUBNET = 6,
};

// Tree image indexes.
enum TreeImage : int { IMAGE_TOP_NODE = 0, IMAGE_SLAVE = 1, IMAGE_COMMAND = 2 };

// What a tree entry stands for: a type code and the model object.
struct TreeRecord {
    int type = RECORD_NONE;
    CConfigNode* node = nullptr;         // fieldbus or subnet node
    CSlaveNode* slave = nullptr;         // slave node, or the owner of a command
    CModbusCommand* command = nullptr;   // command

    static TreeRecord ForNode(int type, CConfigNode* n) { return {type, n, nullptr, nullptr}; }
    static TreeRecord ForSlave(CSlaveNode* s) { return {RECORD_SLAVE, nullptr, s, nullptr}; }
    static TreeRecord ForCommand(CSlaveNode* owner, CModbusCommand* c) { return {RECORD_COMMAND, nullptr, owner, c}; }
    bool operator==(const TreeRecord&) const = default;
};

struct TreeEntry {
    std::string text;
    int image = IMAGE_TOP_NODE;
    TreeRecord record;
    std::vector<TreeEntry> children;
};

using TreeEntries = std::vector<TreeEntry>;
