#pragma once
// One parameter item: one row of the property grid.

#include <cstdint>
#include <string>
#include <vector>

#include "model/palette.h"

// Editor kinds of an item.
enum ItemState : std::int32_t {
    STATE_SHOW_ONLY = 0,   // value shown only, set by the program
    STATE_TEXT = 1,        // single-line text box
    STATE_LIST = 2,        // drop-down list of the choices
    STATE_LIST_TEXT = 3,   // drop-down list that also takes typed text
};

// What an item is built from, field by field (designated initializers name them).
struct ItemDescription {
    std::string label = {};
    std::string help = {};
    std::string value = {};
    std::int32_t state = STATE_SHOW_ONLY;
    std::int32_t enable = 1;
    std::vector<std::string> choices = {};
};

class CParamItem {
public:
    CParamItem() = default;
    explicit CParamItem(ItemDescription description);

    void AddChoice(std::string text) { choices.push_back(std::move(text)); }
    void SetEnable(std::int32_t flag) { enable = flag; }

    std::size_t GetChoiceCount() const { return choices.size(); }
    // The choice at index, or the empty text past the end.
    const std::string& GetChoice(std::size_t index) const;
    // Position of the first choice equal to the value byte for byte; -1 when none is.
    int FindValueInChoices() const;

    // The grid offers an editor for any enable other than 0, and for states 1-3.
    bool OffersEditor() const { return enable != 0 && state >= STATE_TEXT && state <= STATE_LIST_TEXT; }
    // Value cell background: white for enable 1, grey otherwise.
    std::uint32_t ValueBackColour() const { return enable == 1 ? kColourWhite : kColourReadOnlyGrey; }

    // Fields are read and written directly by the owning node, the grid and the file layer.
    std::vector<std::string> choices;
    std::string help;
    std::string label;
    std::string value;
    std::int32_t state = STATE_SHOW_ONLY;
    std::int32_t enable = 1;
};
