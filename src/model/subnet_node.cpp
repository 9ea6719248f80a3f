#include "model/subnet_node.h"

#include <span>

#include "model/lang_strings.h"

namespace {

void AppendTo(ItemList& list, std::unique_ptr<CParamItem> item)
{
    list.push_back(std::move(item));
}

// The six Modbus Master items; User Config keeps its own copies of them, all read-only.
void AppendMasterItems(ItemList& list, bool userConfigCopy)
{
    const std::int32_t en = userConfigCopy ? 0 : 1;
    AppendTo(list, MakeItem(GetLangString(4011), GetLangString(4012), "RTU", STATE_LIST, 0, {"RTU", "ASCII"}));
    AppendTo(list, MakeItem(GetLangString(4013), GetLangString(4014), "300", STATE_TEXT, en));
    AppendTo(list, MakeItem(GetLangString(4015), GetLangString(4016), "0", STATE_TEXT, en));
    AppendTo(list, MakeItem(GetLangString(4017), GetLangString(4018), GetLangString(76), STATE_LIST, en,
                            {GetLangString(77), GetLangString(78), GetLangString(76)}));
    AppendTo(list, MakeItem(GetLangString(4019), GetLangString(4020), "", STATE_SHOW_ONLY, 0));
    AppendTo(list, MakeItem(GetLangString(4021), GetLangString(4022), "10", STATE_TEXT, en));
}

void SetValue(CParamItem* item, const char* value)
{
    if (item)
        item->value = value;
}

} // namespace

CSubnetNode::CSubnetNode() : CConfigNode(GetLangString(18))
{
    // The protocol is the user's choice of mode: without it User Config could never be chosen.
    AppendItem(MakeItem(GetLangString(4001), GetLangString(4002), GetLangString(20), STATE_LIST, 1,
                        {GetLangString(20), GetLangString(21)}));
    AppendItem(MakeItem(GetLangString(4003), GetLangString(4004), "19200", STATE_LIST, 1,
                        {"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"}));
    AppendItem(MakeItem(GetLangString(4005), GetLangString(4006), "8", STATE_SHOW_ONLY, 0, {"8", "7"}));
    AppendItem(MakeItem(GetLangString(4007), GetLangString(4008), GetLangString(71), STATE_LIST, 1,
                        {GetLangString(71), GetLangString(72), GetLangString(73), GetLangString(74),
                         GetLangString(75)}));
    AppendItem(MakeItem(GetLangString(4009), GetLangString(4010), "1", STATE_LIST, 1, {"1", "2"}));
    AppendItem(MakeItem(GetLangString(49), GetLangString(50), "", STATE_SHOW_ONLY, 0));

    AppendMasterItems(MasterModeItemList, false);

    AppendMasterItems(CommonModeItemList, true);
    AppendTo(CommonModeItemList, MakeItem(GetLangString(4037), GetLangString(4036), GetLangString(24), STATE_LIST, 1,
                                          {GetLangString(24), GetLangString(22), GetLangString(23)}));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(57), GetLangString(58), "10", STATE_TEXT, 1));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(22), GetLangString(4024), "111", STATE_TEXT, 0));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(4025), GetLangString(4026), "0", STATE_TEXT, 0));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(4027), GetLangString(4028), "0", STATE_TEXT, 0));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(4031), GetLangString(4032), GetLangString(25), STATE_LIST, 1,
                                          {GetLangString(25), GetLangString(26)}));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(4029), GetLangString(4030), "1000", STATE_TEXT, 0));
    AppendTo(CommonModeItemList, MakeItem(GetLangString(4033), GetLangString(4034), GetLangString(25), STATE_LIST, 1,
                                          {GetLangString(25), GetLangString(26)}));
}

const ItemList& CSubnetNode::CurrentModeItems() const
{
    return CurrentModeType == MODE_MODBUS_MASTER ? MasterModeItemList : CommonModeItemList;
}

CParamItem* CSubnetNode::GetItemAt(int row) const
{
    if (row < 0)
        return nullptr;
    if (row < kSubnetBaseRows)
        return CConfigNode::GetItemAt(row);
    return ItemAt(CurrentModeItems(), row - kSubnetBaseRows);
}

int CSubnetNode::GetRowCount() const
{
    // The grid draws the base rows and, in modes 0 and 1, the mode's list after them.
    // A short base list read from a file still leaves the mode rows at 6 and up.
    const int base = static_cast<int>(Items().size());
    if (CurrentModeType != MODE_MODBUS_MASTER && CurrentModeType != MODE_USER_CONFIG)
        return base;
    if (CurrentModeItems().empty())
        return base;
    return kSubnetBaseRows + static_cast<int>(CurrentModeItems().size());
}

void CSubnetNode::BuildTree(TreeEntries& children)
{
    if (CurrentModeType == MODE_MODBUS_MASTER)
        CConfigNode::BuildTree(children);
}

int CSubnetNode::ShowItems(CGridSink* grid) const
{
    if (!grid)
        return 0;
    int rows = ShowItemList(Items(), grid, 0);
    if (CurrentModeType == MODE_MODBUS_MASTER || CurrentModeType == MODE_USER_CONFIG)
        rows += ShowItemList(CurrentModeItems(), grid, kSubnetBaseRows);
    return rows;
}

void CSubnetNode::SetMode(int mode)
{
    CurrentModeType = mode;
    if (mode == MODE_MODBUS_MASTER)
        SetValue(CConfigNode::GetItemAt(SUBNET_ROW_PROTOCOL), GetLangString(20).c_str());
    else if (mode == MODE_USER_CONFIG)
        SetValue(CConfigNode::GetItemAt(SUBNET_ROW_PROTOCOL), GetLangString(21).c_str());
}

void CSubnetNode::Reset()
{
    CConfigNode::Reset();
    const ItemList& base = Items();
    SetValue(ItemAt(base, SUBNET_ROW_BAUD_RATE), "19200");
    SetChoiceOf(ItemAt(base, SUBNET_ROW_CHECK_BIT), 0);
    SetValue(ItemAt(base, SUBNET_ROW_STOP_BITS), "1");

    const ItemList& master = MasterModeItemList;
    SetValue(ItemAt(master, 1), "300");
    SetValue(ItemAt(master, 2), "0");
    SetChoiceOf(ItemAt(master, 3), 0);
    SetValue(ItemAt(master, 5), "10");

    const ItemList& common = CommonModeItemList;
    SetChoiceOf(ItemAt(common, 0), 0);
    SetValue(ItemAt(common, 1), "300");
    SetValue(ItemAt(common, 2), "0");
    SetChoiceOf(ItemAt(common, 3), 0);
    SetValue(ItemAt(common, 5), "10");
    SetChoiceOf(ItemAt(common, 6), 0);
    SetValue(ItemAt(common, 7), "10");
    SetValue(ItemAt(common, 8), "111");
    SetValue(ItemAt(common, 9), "0");
    SetValue(ItemAt(common, 10), "0");
    SetChoiceOf(ItemAt(common, 11), 0);
    SetValue(ItemAt(common, 12), "1000");
    SetChoiceOf(ItemAt(common, 13), 0);

    CurrentModeType = MODE_MODBUS_MASTER;
}

ResultCode CSubnetNode::CheckEmpty(std::string* message) const
{
    static constexpr int kMasterRows[] = {7, 8, 11};
    static constexpr int kUserConfigRows[] = {7, 8, 11, 13, 14, 15, 16, 18};
    const bool master = CurrentModeType == MODE_MODBUS_MASTER;
    const std::span<const int> rows = master ? std::span<const int>(kMasterRows) : std::span<const int>(kUserConfigRows);
    for (int row : rows) {
        const CParamItem* item = GetItemAt(row);
        if (!item || !item->value.empty())
            continue;
        if (message)
            *message = master ? EmptyItemMessage(item->label) : "\"" + item->label + "\"中数据为空";
        return RESULT_EMPTY_ITEM;
    }
    if (master) {
        const CSlaveNode* first = GetNodeAt(0);
        return first ? first->CheckEmpty(message) : RESULT_OK;
    }
    for (const auto& slave : Nodes()) {
        if (const ResultCode code = slave->CheckEmpty(message); code != RESULT_OK)
            return code;
    }
    return RESULT_OK;
}

std::string CSubnetNode::DescribeProtocol() const
{
    std::string text = CurrentModeType == MODE_MODBUS_MASTER ? GetLangString(20)
                     : CurrentModeType == MODE_USER_CONFIG   ? GetLangString(21)
                                                             : "unknown mode " + std::to_string(CurrentModeType);
    if (const CParamItem* row = GetItemAt(SUBNET_ROW_PROTOCOL); row && row->value != text)
        text += " (the row reads \"" + row->value + "\")";
    return text;
}

int CSubnetNode::GetProtocolCode() const
{
    switch (CurrentModeType) {
    case MODE_MODBUS_MASTER: return 0;
    case MODE_USER_CONFIG: return 3;
    default: return -1;
    }
}

int CSubnetNode::GetPollDelay() const
{
    if (!GetItemAt(SUBNET_ROW_POLL_DELAY))
        return -1;
    return GetIntValue(SUBNET_ROW_POLL_DELAY) / 10;
}

int CSubnetNode::GetOutputMode() const
{
    // 1 Cyclic, 2 Forbidden, 3 Change of Value; a value that is none of these sends 0.
    return GetChoiceIndex(SUBNET_ROW_OUTPUT_MODE) + 1;
}

void CSubnetNode::SwapContents(CConfigNode& other)
{
    CConfigNode::SwapContents(other);
    if (auto* subnet = dynamic_cast<CSubnetNode*>(&other)) {
        MasterModeItemList.swap(subnet->MasterModeItemList);
        CommonModeItemList.swap(subnet->CommonModeItemList);
        std::swap(CurrentModeType, subnet->CurrentModeType);
    }
}
