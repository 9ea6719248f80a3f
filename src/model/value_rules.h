#pragma once
// The whole configuration judged by the rules an edit must pass: a value that no edit in the
// property grid could have stored (a hand-edited file, a module that reports nonsense) is found
// here before it is sent anywhere.

#include <string>
#include <vector>

#include "model/config_tree.h"
#include "model/result_codes.h"

class CDeviceConfig;

struct ValueFault {
    TreeRecord record;
    int row = -1;
    std::string node;      // as gatewaycfg names it: "profibus", "subnet", "slave:1", "command:3"
    std::string label;
    std::string value;
    ResultCode code = RESULT_OK;
    std::string message;   // the grid's refusal: the result code's text, or the choice refusal
};

namespace gw {

// Every item whose current value the grid would refuse, in tree and row order; empty when every
// value passes. Besides, what only a file can bring, each with code 8: a protocol mode other
// than 0 and 1, or one that the "Protocol Select" row does not say; more than 48 commands in
// the slave node (a fault of the node, row -1); a command whose "Function Code" is not the code
// of its type or one a command can be made for. The items judged are those a download sends: the rows each node shows in its
// current mode (the fieldbus node, the subnet's base rows and its current mode's list, and in
// Modbus Master mode the first slave node and its commands). Every item is judged by the rule
// of its editor (CheckItemText); an item without an editor, and a read-only one, only where its
// row has a rule, since the download sends it all the same.
std::vector<ValueFault> CheckItemValues(const CDeviceConfig& root);

// One line for a fault: node / label = "value": message (node: message for a node's own).
std::string DescribeValueFault(const ValueFault& fault);

} // namespace gw
