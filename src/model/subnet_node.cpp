#include "model/subnet_node.h"

#include <span>

#include "model/lang_strings.h"

namespace {

// The six Modbus Master items; User Config keeps its own copies of them, all read-only.
void AppendMasterItems(ItemList& list, bool userConfigCopy)
{
    const std::int32_t en = userConfigCopy ? 0 : 1;
    AppendOwned(list, MakeItem({.label = GetLangString(SubnetText::Transmission),
                             .help = GetLangString(SubnetText::TransmissionHelp),
                             .value = "RTU", .state = STATE_LIST, .enable = 0, .choices = {"RTU", "ASCII"}}));
    AppendOwned(list, MakeItem({.label = GetLangString(SubnetText::ResponseTimeout),
                             .help = GetLangString(SubnetText::ResponseTimeoutHelp),
                             .value = "300", .state = STATE_TEXT, .enable = en}));
    AppendOwned(list, MakeItem({.label = GetLangString(SubnetText::PollDelay), .help = GetLangString(SubnetText::PollDelayHelp),
                             .value = "0", .state = STATE_TEXT, .enable = en}));
    AppendOwned(list, MakeItem({.label = GetLangString(SubnetText::OutputMode), .help = GetLangString(SubnetText::OutputModeHelp),
                             .value = GetLangString(ChoiceText::ChangeOfValue), .state = STATE_LIST, .enable = en,
                             .choices = {GetLangString(ChoiceText::Cyclic), GetLangString(ChoiceText::Forbidden),
                                         GetLangString(ChoiceText::ChangeOfValue)}}));
    AppendOwned(list, MakeItem({.label = GetLangString(SubnetText::OutputPulse),
                             .help = GetLangString(SubnetText::OutputPulseHelp),
                             .value = "", .state = STATE_SHOW_ONLY, .enable = 0}));
    AppendOwned(list, MakeItem({.label = GetLangString(SubnetText::ScanRate), .help = GetLangString(SubnetText::ScanRateHelp),
                             .value = "10", .state = STATE_TEXT, .enable = en}));
}

// An editable choice of "Disable" and "Enable", with "Disable" taken.
ItemDescription DisabledSwitch(SubnetText label, SubnetText help)
{
    return {.label = GetLangString(label), .help = GetLangString(help), .value = GetLangString(ChoiceText::Disable),
            .state = STATE_LIST, .enable = 1,
            .choices = {GetLangString(ChoiceText::Disable), GetLangString(ChoiceText::Enable)}};
}

void SetValue(CParamItem* item, const char* value)
{
    if (item)
        item->value = value;
}

// Position of a mode row in its mode's list.
int ModeIndex(SubnetRow row)
{
    return row - kSubnetBaseRows;
}

} // namespace

CSubnetNode::CSubnetNode() : CConfigNode(GetLangString(AppText::SubnetName))
{
    // The protocol is the user's choice of mode: without it User Config could never be chosen.
    AppendItem(MakeItem({.label = GetLangString(SubnetText::Protocol), .help = GetLangString(SubnetText::ProtocolHelp),
                         .value = GetLangString(ChoiceText::ModbusMaster), .state = STATE_LIST, .enable = 1,
                         .choices = {GetLangString(ChoiceText::ModbusMaster), GetLangString(ChoiceText::UserConfig)}}));
    AppendItem(MakeItem({.label = GetLangString(SubnetText::BaudRate), .help = GetLangString(SubnetText::BaudRateHelp),
                         .value = "19200", .state = STATE_LIST, .enable = 1,
                         .choices = {"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"}}));
    AppendItem(MakeItem({.label = GetLangString(SubnetText::DataBits), .help = GetLangString(SubnetText::DataBitsHelp),
                         .value = "8", .state = STATE_SHOW_ONLY, .enable = 0, .choices = {"8", "7"}}));
    AppendItem(MakeItem({.label = GetLangString(SubnetText::CheckBit), .help = GetLangString(SubnetText::CheckBitHelp),
                         .value = GetLangString(ChoiceText::ParityNone), .state = STATE_LIST, .enable = 1,
                         .choices = {GetLangString(ChoiceText::ParityNone), GetLangString(ChoiceText::ParityOdd),
                                     GetLangString(ChoiceText::ParityEven), GetLangString(ChoiceText::ParityMark),
                                     GetLangString(ChoiceText::ParitySpace)}}));
    AppendItem(MakeItem({.label = GetLangString(SubnetText::StopBits), .help = GetLangString(SubnetText::StopBitsHelp),
                         .value = "1", .state = STATE_LIST, .enable = 1, .choices = {"1", "2"}}));
    AppendItem(MakeItem({.label = GetLangString(SubnetText::SlaveAddress),
                         .help = GetLangString(SubnetText::SlaveAddressHelp),
                         .value = "", .state = STATE_SHOW_ONLY, .enable = 0}));

    AppendMasterItems(MasterModeItemList, false);

    ItemList& common = CommonModeItemList;
    AppendMasterItems(common, true);
    AppendOwned(common, MakeItem({.label = GetLangString(SubnetText::FrameType), .help = GetLangString(SubnetText::FrameTypeHelp),
                               .value = GetLangString(ChoiceText::CharacterInterval), .state = STATE_LIST, .enable = 1,
                               .choices = {GetLangString(ChoiceText::CharacterInterval),
                                           GetLangString(ChoiceText::FrameLength), GetLangString(ChoiceText::Delimiter)}}));
    AppendOwned(common, MakeItem({.label = GetLangString(SubnetText::CharacterInterval),
                               .help = GetLangString(SubnetText::CharacterIntervalHelp),
                               .value = "10", .state = STATE_TEXT, .enable = 1}));
    AppendOwned(common, MakeItem({.label = GetLangString(SubnetText::FrameLength),
                               .help = GetLangString(SubnetText::FrameLengthHelp),
                               .value = "111", .state = STATE_TEXT, .enable = 0}));
    AppendOwned(common, MakeItem({.label = GetLangString(SubnetText::StartDelimiter),
                               .help = GetLangString(SubnetText::StartDelimiterHelp),
                               .value = "0", .state = STATE_TEXT, .enable = 0}));
    AppendOwned(common, MakeItem({.label = GetLangString(SubnetText::EndDelimiter),
                               .help = GetLangString(SubnetText::EndDelimiterHelp),
                               .value = "0", .state = STATE_TEXT, .enable = 0}));
    AppendOwned(common, MakeItem(DisabledSwitch(SubnetText::AutoSend, SubnetText::AutoSendHelp)));
    AppendOwned(common, MakeItem({.label = GetLangString(SubnetText::AutoSendPeriod),
                               .help = GetLangString(SubnetText::AutoSendPeriodHelp),
                               .value = "1000", .state = STATE_TEXT, .enable = 0}));
    AppendOwned(common, MakeItem(DisabledSwitch(SubnetText::CrcCheck, SubnetText::CrcCheckHelp)));
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
        SetValue(CConfigNode::GetItemAt(SUBNET_ROW_PROTOCOL), GetLangString(ChoiceText::ModbusMaster).c_str());
    else if (mode == MODE_USER_CONFIG)
        SetValue(CConfigNode::GetItemAt(SUBNET_ROW_PROTOCOL), GetLangString(ChoiceText::UserConfig).c_str());
}

void CSubnetNode::Reset()
{
    CConfigNode::Reset();
    const ItemList& base = Items();
    SetValue(ItemAt(base, SUBNET_ROW_BAUD_RATE), "19200");
    SetChoiceOf(ItemAt(base, SUBNET_ROW_CHECK_BIT), 0);
    SetValue(ItemAt(base, SUBNET_ROW_STOP_BITS), "1");

    const ItemList& master = MasterModeItemList;
    SetValue(ItemAt(master, ModeIndex(SUBNET_ROW_RESPONSE_TIMEOUT)), "300");
    SetValue(ItemAt(master, ModeIndex(SUBNET_ROW_POLL_DELAY)), "0");
    SetChoiceOf(ItemAt(master, ModeIndex(SUBNET_ROW_OUTPUT_MODE)), 0);
    SetValue(ItemAt(master, ModeIndex(SUBNET_ROW_SCAN_RATE)), "10");

    const ItemList& common = CommonModeItemList;
    SetChoiceOf(ItemAt(common, ModeIndex(SUBNET_ROW_TRANSMISSION)), 0);
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_RESPONSE_TIMEOUT)), "300");
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_POLL_DELAY)), "0");
    SetChoiceOf(ItemAt(common, ModeIndex(SUBNET_ROW_OUTPUT_MODE)), 0);
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_SCAN_RATE)), "10");
    SetChoiceOf(ItemAt(common, ModeIndex(SUBNET_ROW_FRAME_TYPE)), 0);
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_CHAR_INTERVAL)), "10");
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_FRAME_LENGTH)), "111");
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_START_DELIMITER)), "0");
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_END_DELIMITER)), "0");
    SetChoiceOf(ItemAt(common, ModeIndex(SUBNET_ROW_AUTO_SEND)), 0);
    SetValue(ItemAt(common, ModeIndex(SUBNET_ROW_AUTO_SEND_PERIOD)), "1000");
    SetChoiceOf(ItemAt(common, ModeIndex(SUBNET_ROW_CRC_CHECK)), 0);

    CurrentModeType = MODE_MODBUS_MASTER;
}

Outcome CSubnetNode::CheckEmpty() const
{
    static constexpr int kMasterRows[] = {SUBNET_ROW_RESPONSE_TIMEOUT, SUBNET_ROW_POLL_DELAY, SUBNET_ROW_SCAN_RATE};
    static constexpr int kUserConfigRows[] = {SUBNET_ROW_RESPONSE_TIMEOUT, SUBNET_ROW_POLL_DELAY, SUBNET_ROW_SCAN_RATE,
                                              SUBNET_ROW_CHAR_INTERVAL, SUBNET_ROW_FRAME_LENGTH, SUBNET_ROW_START_DELIMITER,
                                              SUBNET_ROW_END_DELIMITER, SUBNET_ROW_AUTO_SEND_PERIOD};
    const bool master = CurrentModeType == MODE_MODBUS_MASTER;
    const std::span<const int> rows = master ? std::span<const int>(kMasterRows) : std::span<const int>(kUserConfigRows);
    for (int row : rows) {
        const CParamItem* item = GetItemAt(row);
        if (!item || !item->value.empty())
            continue;
        return Failure(master ? EmptyItemMessage(item->label) : "\"" + item->label + "\"中数据为空", RESULT_EMPTY_ITEM);
    }
    if (master) {
        const CSlaveNode* first = GetNodeAt(0);
        return first ? first->CheckEmpty() : Outcome{};
    }
    for (const auto& slave : Nodes()) {
        if (Outcome empty = slave->CheckEmpty(); !empty)
            return empty;
    }
    return {};
}

std::string CSubnetNode::DescribeProtocol() const
{
    std::string text = CurrentModeType == MODE_MODBUS_MASTER ? GetLangString(ChoiceText::ModbusMaster)
                     : CurrentModeType == MODE_USER_CONFIG   ? GetLangString(ChoiceText::UserConfig)
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
