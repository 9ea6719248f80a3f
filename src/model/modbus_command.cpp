#include "model/modbus_command.h"

#include <algorithm>
#include <array>

#include "model/lang_strings.h"

namespace {

struct FunctionInfo {
    int code;
    std::int32_t nameId;
    bool supported;
};

constexpr std::array<FunctionInfo, kFunctionCount> kFunctions{{
    {1, 33, true},   {2, 34, true},   {3, 35, true},   {4, 36, true},   {5, 37, true},
    {6, 38, true},   {7, 39, false},  {8, 40, false},  {11, 41, false}, {12, 42, false},
    {13, 43, false}, {14, 44, false}, {15, 45, true},  {16, 46, true},
}};

constexpr std::int32_t kIdErrorCommand = 48;

} // namespace

int GetFunctionInfo(int index, int* supported, std::string* name)
{
    if (index < 0 || index >= kFunctionCount) {
        if (supported)
            *supported = 0;
        if (name)
            *name = GetLangString(kIdErrorCommand);
        return -1;
    }
    const FunctionInfo& info = kFunctions[static_cast<std::size_t>(index)];
    if (supported)
        *supported = info.supported ? 1 : 0;
    if (name)
        *name = GetLangString(info.nameId);
    return info.code;
}

std::string GetFunctionByCode(int code, int* index)
{
    for (int i = 0; i < kFunctionCount; ++i) {
        const FunctionInfo& info = kFunctions[static_cast<std::size_t>(i)];
        if (info.supported && info.code == code) {
            if (index)
                *index = i;
            return GetLangString(info.nameId);
        }
    }
    if (index)
        *index = kUnknownFunctionIndex;
    return GetLangString(kIdErrorCommand);
}

bool IsSupportedFunctionIndex(int index)
{
    return index >= 0 && index < kFunctionCount && kFunctions[static_cast<std::size_t>(index)].supported;
}

bool IsInputAreaFunctionIndex(int index)
{
    return index >= 0 && index <= 3;
}

bool IsBitFunctionIndex(int index)
{
    return index == 0 || index == 1 || index == 4 || index == 12;
}

std::string EmptyItemMessage(const std::string& quoted)
{
    return GetLangString(5018) + "\r\n\"" + quoted + "\"";
}

CModbusCommand::CModbusCommand(std::string name, int functionIndex)
    : m_name(std::move(name)), m_commandType(functionIndex)
{
    if (IsSupportedFunctionIndex(functionIndex))
        BuildItems();
}

CModbusCommand::CModbusCommand(std::string name, int commandType, NoItems)
    : m_name(std::move(name)), m_commandType(commandType)
{
}

std::unique_ptr<CModbusCommand> CModbusCommand::MakeEmpty(std::string name, int commandType)
{
    return std::unique_ptr<CModbusCommand>(new CModbusCommand(std::move(name), commandType, NoItems{}));
}

void CModbusCommand::BuildItems()
{
    const int index = m_commandType;
    const int code = GetFunctionInfo(index, nullptr, nullptr);
    const bool input = IsInputAreaFunctionIndex(index);

    m_items.push_back(MakeItem(GetLangString(3051), GetLangString(3052), std::to_string(code), STATE_SHOW_ONLY, 0));
    m_items.push_back(MakeItem(GetLangString(3053), GetLangString(3054), "", STATE_TEXT, 1));
    m_items.push_back(MakeItem(GetLangString(3005), GetLangString(3006), "", STATE_TEXT, 1));
    m_items.push_back(MakeItem(GetLangString(3007), GetLangString(input ? 3008 : 3009), "", STATE_TEXT, 1));
    m_items.push_back(MakeItem(GetLangString(3010), GetLangString(3011), "0", STATE_TEXT, 1));
    m_items.push_back(MakeItem(GetLangString(3012), "", "0", STATE_SHOW_ONLY, 0));
    m_items.push_back(MakeItem(GetLangString(3014), GetLangString(3015), GetLangString(52), STATE_LIST, 0,
                               {GetLangString(52), GetLangString(53), GetLangString(54)}));
    m_items.push_back(MakeItem(GetLangString(3016), GetLangString(3017), "CRC", STATE_SHOW_ONLY, 0));
    m_items.push_back(MakeItem(GetLangString(3018), GetLangString(3019), GetLangString(56), STATE_LIST, 1,
                               {GetLangString(56), GetLangString(55)}));
    m_items.push_back(MakeItem(GetLangString(3020), GetLangString(3021), "", STATE_TEXT, 1));

    switch (index) {
    case 2: case 3: case 5: case 13:   // register functions have no mapping bit
        m_items[CMD_ROW_MAP_BIT]->SetEnable(0);
        break;
    default:
        break;
    }
    if (index == 4 || index == 5) {    // single coil / single register: one datum, fixed
        m_items[CMD_ROW_DATA_COUNT]->value = "1";
        m_items[CMD_ROW_DATA_COUNT]->SetEnable(0);
        m_items[CMD_ROW_BYTE_COUNT]->value = index == 4 ? "1" : "2";
    }
}

int CModbusCommand::AppendItem(std::unique_ptr<CParamItem> item)
{
    if (!item)
        return 0;
    m_items.push_back(std::move(item));
    return 1;
}

int CModbusCommand::RemoveItem(const CParamItem* item)
{
    if (!item)
        return 0;
    std::erase_if(m_items, [item](const auto& p) { return p.get() == item; });
    return 1;
}

ResultCode CModbusCommand::CheckEmpty(std::string* message) const
{
    auto refuse = [&](const CParamItem& item) {
        if (message)
            *message = EmptyItemMessage(m_name + "\\" + item.label);
        return RESULT_EMPTY_ITEM;
    };
    for (int row : {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS}) {
        const CParamItem* item = GetItemAt(row);
        if (item && item->value.empty())
            return refuse(*item);
    }
    if (IsBitFunctionIndex(m_commandType)) {
        const CParamItem* item = GetItemAt(CMD_ROW_MAP_BIT);
        if (item && item->value.empty())
            return refuse(*item);
    }
    return RESULT_OK;
}
