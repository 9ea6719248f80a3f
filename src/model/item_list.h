#pragma once
// Item lists and the four ways the rest of the system reads and writes an item by row.

#include <memory>
#include <vector>

#include "model/owned_list.h"
#include "model/param_item.h"

using ItemList = OwnedList<CParamItem>;

namespace gw {

// The item at index of a list, or none past the end (and for a negative index).
inline CParamItem* ItemAt(const ItemList& list, int index) { return OwnedAt(list, index); }

// Position of the item's value among its choices; -1 for no item, no choices or no match.
int ChoiceIndexOf(const CParamItem* item);
// The item's value read as a leading decimal number; -1 for no item.
int IntValueOf(const CParamItem* item);
// Sets the value to the choice at index; 1 on success, 0 when there is no item or no such choice.
int SetChoiceOf(CParamItem* item, int index);
// Sets the value to the number in decimal; 1 on success, 0 when there is no item.
int SetIntValueOf(CParamItem* item, int number);

} // namespace gw

// Where a node writes its rows: the property grid, or any other view of the rows.
class CGridSink {
public:
    virtual ~CGridSink() = default;
    // Row r shows item r; the sink reads label, value and colours from the item.
    virtual void ShowItem(int row, CParamItem& item) = 0;
};

namespace gw {

// Writes every item of a list into consecutive rows starting at firstRow; returns the rows written.
int ShowItemList(const ItemList& list, CGridSink* grid, int firstRow = 0);

// Builds an item from its description.
std::unique_ptr<CParamItem> MakeItem(ItemDescription description);

} // namespace gw
