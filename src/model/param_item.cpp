#include "model/param_item.h"

CParamItem::CParamItem(ItemDescription description)
    : choices(std::move(description.choices)),
      help(std::move(description.help)),
      label(std::move(description.label)),
      value(std::move(description.value)),
      state(description.state),
      enable(description.enable)
{
}

const std::string& CParamItem::GetChoice(std::size_t index) const
{
    static const std::string kEmpty;
    return index < choices.size() ? choices[index] : kEmpty;
}

int CParamItem::FindValueInChoices() const
{
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == value)
            return static_cast<int>(i);
    }
    return -1;
}
