#include "model/item_list.h"

#include "model/validation.h"

int gw::ChoiceIndexOf(const CParamItem* item)
{
    if (!item || item->choices.empty())
        return -1;
    return item->FindValueInChoices();
}

int gw::IntValueOf(const CParamItem* item)
{
    if (!item)
        return -1;
    return LeadingInt(item->value);
}

int gw::SetChoiceOf(CParamItem* item, int index)
{
    if (!item || index < 0 || static_cast<std::size_t>(index) >= item->choices.size())
        return 0;
    item->value = item->choices[static_cast<std::size_t>(index)];
    return 1;
}

int gw::SetIntValueOf(CParamItem* item, int number)
{
    if (!item)
        return 0;
    item->value = std::to_string(number);
    return 1;
}

int gw::ShowItemList(const ItemList& list, CGridSink* grid, int firstRow)
{
    if (!grid)
        return 0;
    int row = firstRow;
    for (const auto& item : list)
        grid->ShowItem(row++, *item);
    return row - firstRow;
}

std::unique_ptr<CParamItem> gw::MakeItem(ItemDescription description)
{
    return std::make_unique<CParamItem>(std::move(description));
}
