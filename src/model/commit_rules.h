#pragma once
// The rules that an edit of an item must pass when it is committed, and the rules that a
// committed choice applies to other rows. The property grid and the command-line tool both
// commit edits through these functions, so both accept and refuse exactly the same texts.

#include <string>
#include <string_view>
#include <vector>

#include "model/config_tree.h"
#include "model/result_codes.h"

class CDeviceConfig;
class CParamItem;

enum class CommitRefusal {
    None,          // accepted and stored
    NoItem,        // the record has no item at that row
    ReadOnly,      // the item offers no editor (enable 0, or state 0)
    WrongEditor,   // a text given to a list item, or a choice to a text item
    NotAChoice,    // the text is not one of a drop-down list's choices
    Check,         // the value check refused the text; code holds its result code
};

struct CommitOutcome {
    CommitRefusal refusal = CommitRefusal::None;
    ResultCode code = RESULT_OK;   // the value check's result code when refusal is Check
    std::string value;             // the value stored (after rounding or the "H" suffix)
    bool changed = false;          // the stored value differs from the old one: set the modified flag
    bool modeSwitched = false;     // the subnet changed protocol mode: rebuild the tree and the grid
    bool renamed = false;          // a slave node took a new name from its address
    std::vector<int> rowsRestyled; // rows whose enable flag (or forced value) a choice rule changed

    bool accepted() const { return refusal == CommitRefusal::None; }
};

namespace gw {

// Checks a typed text for the item at row of the record without storing it.
// On success sets normalised to the text that would be stored.
ResultCode CheckEditText(const CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text,
                         std::string* normalised);

} // namespace gw

struct ValueVerdict {
    CommitRefusal refusal = CommitRefusal::None;   // None, NotAChoice or Check
    ResultCode code = RESULT_OK;                    // the refusal's result code (8 for NotAChoice)
    std::string value;                              // the text that would be stored

    bool accepted() const { return refusal == CommitRefusal::None; }
};

namespace gw {

// Checks a text as the value of item, the item at row of the record, by the rule of its editor,
// without storing it: a drop-down list (state 2) takes only its choices; a list that also takes
// typed text (state 3) any choice or a number in 1..60000; any other item the range of its row
// (CheckEditText). Committing and the whole-configuration value check both judge through this.
ValueVerdict CheckItemText(const CDeviceConfig& root, const TreeRecord& record, int row, const CParamItem& item,
                           std::string_view text);

// The refusal of a text that a drop-down list does not offer: not one of the choices: "a" "b" ...
std::string NotAChoiceText(const CParamItem& item);

// Commits a typed text into a text-box item (state 1).
CommitOutcome CommitText(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text);

// Commits a drop-down item: for state 2 the text must be one of the choices; for state 3
// (choices plus typed text) any choice or a number in 1..60000 is taken. The choice rules
// of the row (mode switch, frame type, auto sending, address setting) are applied first.
CommitOutcome CommitChoice(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text);

// Commits whichever editor the item offers: a text box or a drop-down list.
CommitOutcome CommitEdit(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text);

// The item a record shows at row, or none.
CParamItem* RecordItemAt(const TreeRecord& record, int row);
// Number of rows the record's object shows in the grid.
int RecordRowCount(const TreeRecord& record);
// The name of a record's object, as its tree entry shows it.
std::string RecordName(const TreeRecord& record);

} // namespace gw
