#include "model/param_item.h"

CParamItem::CParamItem(std::string label_, std::string help_, std::string value_, std::int32_t state_,
                       std::int32_t enable_)
{
    SetItem(std::move(label_), std::move(help_), std::move(value_), state_, enable_);
}

void CParamItem::SetItem(std::string label_, std::string help_, std::string value_, std::int32_t state_,
                         std::int32_t enable_)
{
    label = std::move(label_);
    help = std::move(help_);
    value = std::move(value_);
    state = state_;
    enable = enable_;
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
