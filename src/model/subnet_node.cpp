#include "model/subnet_node.h"

#include <span>

#include "model/lang_strings.h"

namespace {

// The six Modbus Master items; User Config keeps its own copies of them, all read-only.
void AppendMasterItems(ItemList& list, bool userConfigCopy)
{
    const std::int32_t en = userConfigCopy ? 0 : 1;
    gw::AppendOwned(list, gw::MakeItem({.label = gw::GetLangString(SubnetText::Transmission),
                             .help = gw::GetLangString(SubnetText::TransmissionHelp),
                             .value = "RTU", .state = STATE_LIST, .enable = 0, .choices = {"RTU", "ASCII"}}));
    gw::AppendOwned(list, gw::MakeItem({.label = gw::GetLangString(SubnetText::ResponseTimeout),
                             .help = gw::GetLangString(SubnetText::ResponseTimeoutHelp),
                             .value = "300", .state = STATE_TEXT, .enable = en}));
    gw::AppendOwned(list, gw::MakeItem({.label = gw::GetLangString(SubnetText::PollDelay), .help = gw::GetLangString(SubnetText::PollDelayHelp),
                             .value = "0", .state = STATE_TEXT, .enable = en}));
    gw::AppendOwned(list, gw::MakeItem({.label = gw::GetLangString(SubnetText::OutputMode), .help = gw::GetLangString(SubnetText::OutputModeHelp),
                             .value = gw::GetLangString(ChoiceText::ChangeOfValue), .state = STATE_LIST, .enable = en,
                             .choices = {gw::GetLangString(ChoiceText::Cyclic), gw::GetLangString(ChoiceText::Forbidden),
                                         gw::GetLangString(ChoiceText::ChangeOfValue)}}));
    gw::AppendOwned(list, gw::MakeItem({.label = gw::GetLangString(SubnetText::OutputPulse),
                             .help = gw::GetLangString(SubnetText::OutputPulseHelp),
                             .value = "", .state = STATE_SHOW_ONLY, .enable = 0}));
    gw::AppendOwned(list, gw::MakeItem({.label = gw::GetLangString(SubnetText::ScanRate), .help = gw::GetLangString(SubnetText::ScanRateHelp),
                             .value = "10", .state = STATE_TEXT, .enable = en}));
}

// An editable choice of "Disable" and "Enable", with "Disable" taken.
ItemDescription DisabledSwitch(SubnetText label, SubnetText help)
{
    return {.label = gw::GetLangString(label), .help = gw::GetLangString(help), .value = gw::GetLangString(ChoiceText::Disable),
            .state = STATE_LIST, .enable = 1,
            .choices = {gw::GetLangString(ChoiceText::Disable), gw::GetLangString(ChoiceText::Enable)}};
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

CSubnetNode::CSubnetNode() : CConfigNode(gw::GetLangString(AppText::SubnetName))
{
    // The protocol is the user's choice of mode: without it User Config could never be chosen.
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SubnetText::Protocol), .help = gw::GetLangString(SubnetText::ProtocolHelp),
                         .value = gw::GetLangString(ChoiceText::ModbusMaster), .state = STATE_LIST, .enable = 1,
                         .choices = {gw::GetLangString(ChoiceText::ModbusMaster), gw::GetLangString(ChoiceText::UserConfig)}}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SubnetText::BaudRate), .help = gw::GetLangString(SubnetText::BaudRateHelp),
                         .value = "19200", .state = STATE_LIST, .enable = 1,
                         .choices = {"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"}}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SubnetText::DataBits), .help = gw::GetLangString(SubnetText::DataBitsHelp),
                         .value = "8", .state = STATE_SHOW_ONLY, .enable = 0, .choices = {"8", "7"}}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SubnetText::CheckBit), .help = gw::GetLangString(SubnetText::CheckBitHelp),
                         .value = gw::GetLangString(ChoiceText::ParityNone), .state = STATE_LIST, .enable = 1,
                         .choices = {gw::GetLangString(ChoiceText::ParityNone), gw::GetLangString(ChoiceText::ParityOdd),
                                     gw::GetLangString(ChoiceText::ParityEven), gw::GetLangString(ChoiceText::ParityMark),
                                     gw::GetLangString(ChoiceText::ParitySpace)}}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SubnetText::StopBits), .help = gw::GetLangString(SubnetText::StopBitsHelp),
                         .value = "1", .state = STATE_LIST, .enable = 1, .choices = {"1", "2"}}));
    AppendItem(gw::MakeItem({.label = gw::GetLangString(SubnetText::SlaveAddress),
                         .help = gw::GetLangString(SubnetText::SlaveAddressHelp),
                         .value = "", .state = STATE_SHOW_ONLY, .enable = 0}));

    AppendMasterItems(MasterModeItemList, false);

    ItemList& common = CommonModeItemList;
    AppendMasterItems(common, true);
    gw::AppendOwned(common, gw::MakeItem({.label = gw::GetLangString(SubnetText::FrameType), .help = gw::GetLangString(SubnetText::FrameTypeHelp),
                               .value = gw::GetLangString(ChoiceText::CharacterInterval), .state = STATE_LIST, .enable = 1,
                               .choices = {gw::GetLangString(ChoiceText::CharacterInterval),
                                           gw::GetLangString(ChoiceText::FrameLength), gw::GetLangString(ChoiceText::Delimiter)}}));
    gw::AppendOwned(common, gw::MakeItem({.label = gw::GetLangString(SubnetText::CharacterInterval),
                               .help = gw::GetLangString(SubnetText::CharacterIntervalHelp),
                               .value = "10", .state = STATE_TEXT, .enable = 1}));
    gw::AppendOwned(common, gw::MakeItem({.label = gw::GetLangString(SubnetText::FrameLength),
                               .help = gw::GetLangString(SubnetText::FrameLengthHelp),
                               .value = "111", .state = STATE_TEXT, .enable = 0}));
    gw::AppendOwned(common, gw::MakeItem({.label = gw::GetLangString(SubnetText::StartDelimiter),
                               .help = gw::GetLangString(SubnetText::StartDelimiterHelp),
                               .value = "0", .state = STATE_TEXT, .enable = 0}));
    gw::AppendOwned(common, gw::MakeItem({.label = gw::GetLangString(SubnetText::EndDelimiter),
                               .help = gw::GetLangString(SubnetText::EndDelimiterHelp),
                               .value = "0", .state = STATE_TEXT, .enable = 0}));
    gw::AppendOwned(common, gw::MakeItem(DisabledSwitch(SubnetText::AutoSend, SubnetText::AutoSendHelp)));
    gw::AppendOwned(common, gw::MakeItem({.label = gw::GetLangString(SubnetText::AutoSendPeriod),
                               .help = gw::GetLangString(SubnetText::AutoSendPeriodHelp),
                               .value = "1000", .state = STATE_TEXT, .enable = 0}));
    gw::AppendOwned(common, gw::MakeItem(DisabledSwitch(SubnetText::CrcCheck, SubnetText::CrcCheckHelp)));
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
    return gw::ItemAt(CurrentModeItems(), row - kSubnetBaseRows);
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
    int rows = gw::ShowItemList(Items(), grid, 0);
    if (CurrentModeType == MODE_MODBUS_MASTER || CurrentModeType == MODE_USER_CONFIG)
        rows += gw::ShowItemList(CurrentModeItems(), grid, kSubnetBaseRows);
    return rows;
}

void CSubnetNode::SetMode(int mode)
{
    CurrentModeType = mode;
    if (mode == MODE_MODBUS_MASTER)
        SetValue(CConfigNode::GetItemAt(SUBNET_ROW_PROTOCOL), gw::GetLangString(ChoiceText::ModbusMaster).c_str());
    else if (mode == MODE_USER_CONFIG)
        SetValue(CConfigNode::GetItemAt(SUBNET_ROW_PROTOCOL), gw::GetLangString(ChoiceText::UserConfig).c_str());
}

void CSubnetNode::Reset()
{
    CConfigNode::Reset();
    const ItemList& base = Items();
    SetValue(gw::ItemAt(base, SUBNET_ROW_BAUD_RATE), "19200");
    gw::SetChoiceOf(gw::ItemAt(base, SUBNET_ROW_CHECK_BIT), 0);
    SetValue(gw::ItemAt(base, SUBNET_ROW_STOP_BITS), "1");

    const ItemList& master = MasterModeItemList;
    SetValue(gw::ItemAt(master, ModeIndex(SUBNET_ROW_RESPONSE_TIMEOUT)), "300");
    SetValue(gw::ItemAt(master, ModeIndex(SUBNET_ROW_POLL_DELAY)), "0");
    gw::SetChoiceOf(gw::ItemAt(master, ModeIndex(SUBNET_ROW_OUTPUT_MODE)), 0);
    SetValue(gw::ItemAt(master, ModeIndex(SUBNET_ROW_SCAN_RATE)), "10");

    const ItemList& common = CommonModeItemList;
    gw::SetChoiceOf(gw::ItemAt(common, ModeIndex(SUBNET_ROW_TRANSMISSION)), 0);
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_RESPONSE_TIMEOUT)), "300");
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_POLL_DELAY)), "0");
    gw::SetChoiceOf(gw::ItemAt(common, ModeIndex(SUBNET_ROW_OUTPUT_MODE)), 0);
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_SCAN_RATE)), "10");
    gw::SetChoiceOf(gw::ItemAt(common, ModeIndex(SUBNET_ROW_FRAME_TYPE)), 0);
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_CHAR_INTERVAL)), "10");
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_FRAME_LENGTH)), "111");
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_START_DELIMITER)), "0");
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_END_DELIMITER)), "0");
    gw::SetChoiceOf(gw::ItemAt(common, ModeIndex(SUBNET_ROW_AUTO_SEND)), 0);
    SetValue(gw::ItemAt(common, ModeIndex(SUBNET_ROW_AUTO_SEND_PERIOD)), "1000");
    gw::SetChoiceOf(gw::ItemAt(common, ModeIndex(SUBNET_ROW_CRC_CHECK)), 0);

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
        return gw::Failure(master ? gw::EmptyItemMessage(item->label) : "\"" + item->label + "\"中数据为空", RESULT_EMPTY_ITEM);
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
    std::string text = CurrentModeType == MODE_MODBUS_MASTER ? gw::GetLangString(ChoiceText::ModbusMaster)
                     : CurrentModeType == MODE_USER_CONFIG   ? gw::GetLangString(ChoiceText::UserConfig)
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
