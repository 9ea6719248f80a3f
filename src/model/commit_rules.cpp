#include "model/commit_rules.h"

#include <algorithm>
#include <cctype>

#include "model/device_config.h"
#include "model/lang_strings.h"
#include "model/validation.h"

namespace {

struct Range {
    std::int32_t min;
    std::int32_t max;
};

bool IsDefaultValueText(std::string_view text)
{
    return text == gw::GetLangString(ChoiceText::DefaultValue);
}

// Ranges of the subnet's text rows; rows 13-18 exist only in User Config mode.
bool SubnetRange(int row, Range* range)
{
    switch (row) {
    case SUBNET_ROW_RESPONSE_TIMEOUT: *range = {50, 60000}; return true;
    case SUBNET_ROW_POLL_DELAY: *range = {0, 2500}; return true;
    case SUBNET_ROW_SCAN_RATE: *range = {1, 255}; return true;
    case SUBNET_ROW_CHAR_INTERVAL: *range = {10, 60000}; return true;
    case SUBNET_ROW_FRAME_LENGTH: *range = {1, 166}; return true;
    case SUBNET_ROW_START_DELIMITER:
    case SUBNET_ROW_END_DELIMITER: *range = {0, 255}; return true;
    case SUBNET_ROW_AUTO_SEND_PERIOD: *range = {10, 60000}; return true;
    default: return false;
    }
}

// A decimal check for a text box. "Default Value" passes the decimal check only so that a
// drop-down item offering that choice can keep it; a text box has no such choice, so the
// words are refused there instead of being stored and later sent as 0.
ResultCode CheckTextBoxDecimal(std::string_view text, Range range)
{
    if (IsDefaultValueText(text))
        return RESULT_ILLEGAL_CHAR;
    return gw::CheckDecimal(text, range.min, range.max);
}

ResultCode CheckSubnetText(int row, std::string_view text, std::string* normalised)
{
    Range range{};
    if (!SubnetRange(row, &range)) {
        *normalised = std::string(text);
        return RESULT_OK;
    }
    if (const ResultCode code = CheckTextBoxDecimal(text, range); code != RESULT_OK)
        return code;
    if (row == SUBNET_ROW_POLL_DELAY) {
        const int n = gw::LeadingInt(text);
        *normalised = n % 10 != 0 ? std::to_string(n / 10 * 10) : std::string(text);
    } else {
        *normalised = std::string(text);
    }
    return RESULT_OK;
}

// Typed mapping address: upper case, cut before the last H, at most four hex digits in the
// command's memory area; stored as the digits followed by "H".
ResultCode CheckMappingAddress(int functionIndex, std::string_view text, std::string* normalised)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (const auto h = upper.rfind('H'); h != std::string::npos)
        upper.erase(h);
    const bool input = gw::IsInputAreaFunctionIndex(functionIndex);
    const ResultCode code = input ? gw::CheckHex(upper, 0x0000, 0x00F3) : gw::CheckHex(upper, 0x4000, 0x40F3);
    if (code != RESULT_OK)
        return code;
    *normalised = upper + "H";
    return RESULT_OK;
}

ResultCode CheckCommandText(const CDeviceConfig& root, const CModbusCommand& command, int row, std::string_view text,
                            std::string* normalised)
{
    const int index = command.GetCommandType();
    ResultCode code = RESULT_OK;
    switch (row) {
    case CMD_ROW_START_ADDRESS:
        code = CheckTextBoxDecimal(text, {0, 65535});
        break;
    case CMD_ROW_DATA_COUNT: {
        const CParamItem* transmission = root.Subnet().GetItemAt(SUBNET_ROW_TRANSMISSION);
        if (transmission && transmission->value == "ASCII")
            code = CheckTextBoxDecimal(text, {1, 45});
        else if (index == FUNCTION_READ_COIL_STATUS || index == FUNCTION_READ_INPUT_STATUS ||
                 index == FUNCTION_FORCE_MULTIPLE_COILS)
            code = CheckTextBoxDecimal(text, {1, 400});
        else if (index == FUNCTION_READ_HOLDING_REGISTER || index == FUNCTION_READ_INPUT_REGISTER ||
                 index == FUNCTION_PRESET_MULTIPLE_REGISTERS)
            code = CheckTextBoxDecimal(text, {1, 122});
        break;
    }
    case CMD_ROW_MAP_ADDRESS:
        return CheckMappingAddress(index, text, normalised);
    case CMD_ROW_MAP_BIT:
        code = CheckTextBoxDecimal(text, {0, 7});
        break;
    default:
        break;
    }
    if (code == RESULT_OK)
        *normalised = std::string(text);
    return code;
}

void SetRowEnable(CConfigNode& node, int row, int enable, CommitOutcome& outcome)
{
    if (CParamItem* item = node.GetItemAt(row)) {
        item->SetEnable(enable);
        outcome.rowsRestyled.push_back(row);
    }
}

void ForceDisable(CConfigNode& node, int row, CommitOutcome& outcome)
{
    if (CParamItem* item = node.GetItemAt(row))
        item->value = gw::GetLangString(ChoiceText::Disable);
    SetRowEnable(node, row, 0, outcome);
}

// Rules a picked choice applies to other rows before the choice itself is stored.
void ApplyChoiceRules(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view picked,
                      CommitOutcome& outcome)
{
    if (record.type == RECORD_SUBNET) {
        CSubnetNode& subnet = root.Subnet();
        if (row == SUBNET_ROW_PROTOCOL) {
            if (picked == gw::GetLangString(ChoiceText::ModbusMaster) && subnet.GetMode() != MODE_MODBUS_MASTER) {
                subnet.SetMode(MODE_MODBUS_MASTER);
                outcome.modeSwitched = true;
            } else if (picked == gw::GetLangString(ChoiceText::UserConfig) && subnet.GetMode() != MODE_USER_CONFIG) {
                subnet.SetMode(MODE_USER_CONFIG);
                outcome.modeSwitched = true;
            }
        } else if (row == SUBNET_ROW_FRAME_TYPE) {
            if (picked == gw::GetLangString(ChoiceText::FrameLength)) {
                SetRowEnable(subnet, SUBNET_ROW_FRAME_LENGTH, 1, outcome);
                SetRowEnable(subnet, SUBNET_ROW_START_DELIMITER, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_END_DELIMITER, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_CRC_CHECK, 1, outcome);
            } else if (picked == gw::GetLangString(ChoiceText::Delimiter)) {
                SetRowEnable(subnet, SUBNET_ROW_FRAME_LENGTH, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_START_DELIMITER, 1, outcome);
                SetRowEnable(subnet, SUBNET_ROW_END_DELIMITER, 1, outcome);
                ForceDisable(subnet, SUBNET_ROW_CRC_CHECK, outcome);
            } else if (picked == gw::GetLangString(ChoiceText::CharacterInterval)) {
                SetRowEnable(subnet, SUBNET_ROW_FRAME_LENGTH, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_START_DELIMITER, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_END_DELIMITER, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_CRC_CHECK, 1, outcome);
            } else {
                SetRowEnable(subnet, SUBNET_ROW_FRAME_LENGTH, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_START_DELIMITER, 0, outcome);
                SetRowEnable(subnet, SUBNET_ROW_END_DELIMITER, 0, outcome);
                ForceDisable(subnet, SUBNET_ROW_CRC_CHECK, outcome);
            }
        } else if (row == SUBNET_ROW_AUTO_SEND) {
            SetRowEnable(subnet, SUBNET_ROW_AUTO_SEND_PERIOD, picked == gw::GetLangString(ChoiceText::Enable) ? 1 : 0, outcome);
        }
    } else if (record.type == RECORD_FIELDBUS && row == BUS_ROW_ADDRESS_MODE) {
        SetRowEnable(root.Bus(), BUS_ROW_PROBE_TIMEOUT, picked == gw::GetLangString(ChoiceText::ProbeAddress) ? 1 : 0, outcome);
    }
}

CommitOutcome Refuse(CommitRefusal refusal, ResultCode code = RESULT_OK)
{
    CommitOutcome outcome;
    outcome.refusal = refusal;
    outcome.code = code;
    return outcome;
}

void Store(CParamItem& item, std::string value, CommitOutcome& outcome)
{
    outcome.changed = item.value != value;
    item.value = value;
    outcome.value = std::move(value);
}

} // namespace

CParamItem* gw::RecordItemAt(const TreeRecord& record, int row)
{
    switch (record.type) {
    case RECORD_COMMAND: return record.command ? record.command->GetItemAt(row) : nullptr;
    case RECORD_SLAVE: return record.slave ? record.slave->GetItemAt(row) : nullptr;
    case RECORD_FIELDBUS:
    case RECORD_SUBNET: return record.node ? record.node->GetItemAt(row) : nullptr;
    default: return nullptr;
    }
}

int gw::RecordRowCount(const TreeRecord& record)
{
    switch (record.type) {
    case RECORD_COMMAND: return record.command ? record.command->GetItemCount() : 0;
    case RECORD_SLAVE: return record.slave ? static_cast<int>(record.slave->Items().size()) : 0;
    case RECORD_FIELDBUS:
    case RECORD_SUBNET: return record.node ? record.node->GetRowCount() : 0;
    default: return 0;
    }
}

std::string gw::RecordName(const TreeRecord& record)
{
    switch (record.type) {
    case RECORD_COMMAND: return record.command ? record.command->GetName() : std::string();
    case RECORD_SLAVE: return record.slave ? record.slave->GetName() : std::string();
    case RECORD_FIELDBUS:
    case RECORD_SUBNET: return record.node ? record.node->GetName() : std::string();
    default: return {};
    }
}

ResultCode gw::CheckEditText(const CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text,
                             std::string* normalised)
{
    std::string result;
    ResultCode code = RESULT_OK;
    switch (record.type) {
    case RECORD_SUBNET:
        code = CheckSubnetText(row, text, &result);
        break;
    case RECORD_SLAVE:
        if (row == SLAVE_ROW_ADDRESS)
            code = CheckTextBoxDecimal(text, {1, 247});
        result = std::string(text);
        break;
    case RECORD_COMMAND:
        if (record.command)
            code = CheckCommandText(root, *record.command, row, text, &result);
        else
            result = std::string(text);
        break;
    default:
        result = std::string(text);
        break;
    }
    if (code == RESULT_OK && normalised)
        *normalised = std::move(result);
    return code;
}

ValueVerdict gw::CheckItemText(const CDeviceConfig& root, const TreeRecord& record, int row, const CParamItem& item,
                               std::string_view text)
{
    ValueVerdict verdict;
    if (item.state == STATE_LIST) {
        if (std::find(item.choices.begin(), item.choices.end(), text) == item.choices.end()) {
            verdict.refusal = CommitRefusal::NotAChoice;
            verdict.code = RESULT_OUT_OF_RANGE;
            return verdict;
        }
        verdict.value = std::string(text);
        return verdict;
    }
    if (item.state == STATE_LIST_TEXT) {
        // A picked choice or a typed number; "Default Value" passes as it stands.
        verdict.code = gw::CheckDecimal(text, 1, 60000);
        verdict.value = std::string(text);
    } else {
        verdict.code = CheckEditText(root, record, row, text, &verdict.value);
    }
    if (verdict.code != RESULT_OK)
        verdict.refusal = CommitRefusal::Check;
    return verdict;
}

std::string gw::NotAChoiceText(const CParamItem& item)
{
    std::string text = "not one of the choices:";
    for (const std::string& choice : item.choices)
        text += " \"" + choice + "\"";
    if (item.choices.empty())
        text += " (the item offers none)";
    return text;
}

CommitOutcome gw::CommitText(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text)
{
    CParamItem* item = RecordItemAt(record, row);
    if (!item)
        return Refuse(CommitRefusal::NoItem);
    if (!item->OffersEditor())
        return Refuse(CommitRefusal::ReadOnly);
    if (item->state != STATE_TEXT)
        return Refuse(CommitRefusal::WrongEditor);

    ValueVerdict verdict = CheckItemText(root, record, row, *item, text);
    if (!verdict.accepted())
        return Refuse(verdict.refusal, verdict.code);

    CommitOutcome outcome;
    // The text the item holds, committed again, stays as it is: a rewrite (the "H" of an empty
    // mapping address, the rounding of a delay) would turn an untouched value into another.
    std::string value = text == item->value ? item->value : std::move(verdict.value);
    if (record.type == RECORD_SLAVE && row == SLAVE_ROW_ADDRESS && record.slave) {
        record.slave->SetName(SlaveNodeName(value));
        outcome.renamed = true;
    }
    Store(*item, std::move(value), outcome);
    return outcome;
}

CommitOutcome gw::CommitChoice(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text)
{
    CParamItem* item = RecordItemAt(record, row);
    if (!item)
        return Refuse(CommitRefusal::NoItem);
    if (!item->OffersEditor())
        return Refuse(CommitRefusal::ReadOnly);
    if (item->state != STATE_LIST && item->state != STATE_LIST_TEXT)
        return Refuse(CommitRefusal::WrongEditor);
    ValueVerdict verdict = CheckItemText(root, record, row, *item, text);
    if (!verdict.accepted())
        return Refuse(verdict.refusal, verdict.code);

    CommitOutcome outcome;
    if (item->state == STATE_LIST_TEXT) {
        Store(*item, std::move(verdict.value), outcome);
        return outcome;
    }
    // A mode switch rewrites row 0 itself, so compare against the value from before the rules.
    const std::string old = item->value;
    ApplyChoiceRules(root, record, row, text, outcome);
    Store(*item, std::move(verdict.value), outcome);
    outcome.changed = old != text;
    return outcome;
}

CommitOutcome gw::CommitEdit(CDeviceConfig& root, const TreeRecord& record, int row, std::string_view text)
{
    const CParamItem* item = RecordItemAt(record, row);
    if (item && (item->state == STATE_LIST || item->state == STATE_LIST_TEXT))
        return CommitChoice(root, record, row, text);
    return CommitText(root, record, row, text);
}
