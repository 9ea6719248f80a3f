#pragma once
// Adding and deleting the slave node and its commands, with the rules that enable each
// action. The desktop tree and the command-line tool share them.

#include <memory>
#include <string>
#include <vector>

#include "model/config_tree.h"

class CDeviceConfig;
class CSlaveNode;
class CModbusCommand;

namespace gw {

// Enable rules of the four tree actions, from the selected record.
bool CanAddNode(const CDeviceConfig& root, const TreeRecord& selected);
bool CanDeleteNode(const TreeRecord& selected);
bool CanAddCommand(const TreeRecord& selected);
bool CanDeleteCommand(const TreeRecord& selected);

// Adds a slave node to the subnet when CanAddNode allows it; none otherwise.
CSlaveNode* AddSlaveNode(CDeviceConfig& root, const TreeRecord& selected);
// Removes a slave node with its commands; true when it was there.
bool DeleteSlaveNode(CDeviceConfig& root, const CSlaveNode* slave);

} // namespace gw

struct AddCommandResult {
    CModbusCommand* command = nullptr;   // the new command, or none
    bool limitReached = false;           // the slave node already holds 48 commands
    std::string message;                 // what to tell the user when limitReached
};

namespace gw {

// Adds a command of a function index (0-13) to a slave node. The 49th command is refused
// with "MODBUS Command number is more than 48!"; an unsupported function adds nothing, silently.
AddCommandResult AddCommandTo(CSlaveNode* slave, int functionIndex);
// Removes a command from its slave node; true when it was there.
bool DeleteCommandFrom(CSlaveNode* slave, const CModbusCommand* command);

} // namespace gw

struct InsertCommandsResult {
    int inserted = 0;           // commands inserted
    bool limitReached = false;  // they would take the slave node past 48 commands: none inserted
    std::string message;        // what to tell the user when limitReached
};

namespace gw {

// Inserts commands before position (the end for a position past it), all or none: more than 48
// in all is refused with "MODBUS Command number is more than 48!". Pasting and duplicating use it.
InsertCommandsResult InsertCommandsAt(CSlaveNode* slave, int position,
                                      std::vector<std::unique_ptr<CModbusCommand>> commands);
// Moves a command one place up (step -1) or down (step 1); true when it moved.
bool MoveCommandBy(CSlaveNode* slave, int position, int step);

} // namespace gw
