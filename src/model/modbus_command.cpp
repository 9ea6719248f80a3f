#include "model/modbus_command.h"

#include <algorithm>
#include <array>

#include "model/lang_strings.h"

namespace {

struct FunctionInfo {
    int code;
    FunctionText name;
    bool supported;
};

// In function index order.
constexpr std::array<FunctionInfo, kFunctionCount> kFunctions{{
    {1, FunctionText::ReadCoilStatus, true},
    {2, FunctionText::ReadInputStatus, true},
    {3, FunctionText::ReadHoldingRegister, true},
    {4, FunctionText::ReadInputRegister, true},
    {5, FunctionText::ForceSingleCoil, true},
    {6, FunctionText::PresetSingleRegister, true},
    {7, FunctionText::ReadExceptionStatus, false},
    {8, FunctionText::Diagnostics, false},
    {11, FunctionText::FetchCommEventCounter, false},
    {12, FunctionText::FetchCommEventLog, false},
    {13, FunctionText::ProgramController, false},
    {14, FunctionText::PollController, false},
    {15, FunctionText::ForceMultipleCoils, true},
    {16, FunctionText::PresetMultipleRegisters, true},
}};

} // namespace

int gw::GetFunctionInfo(int index, int* supported, std::string* name)
{
    if (index < 0 || index >= kFunctionCount) {
        if (supported)
            *supported = 0;
        if (name)
            *name = gw::GetLangString(FunctionText::ErrorCommand);
        return -1;
    }
    const FunctionInfo& info = kFunctions[static_cast<std::size_t>(index)];
    if (supported)
        *supported = info.supported ? 1 : 0;
    if (name)
        *name = gw::GetLangString(info.name);
    return info.code;
}

std::string gw::GetFunctionByCode(int code, int* index)
{
    for (int i = 0; i < kFunctionCount; ++i) {
        const FunctionInfo& info = kFunctions[static_cast<std::size_t>(i)];
        if (info.supported && info.code == code) {
            if (index)
                *index = i;
            return gw::GetLangString(info.name);
        }
    }
    if (index)
        *index = kUnknownFunctionIndex;
    return gw::GetLangString(FunctionText::ErrorCommand);
}

bool gw::IsSupportedFunctionIndex(int index)
{
    return index >= 0 && index < kFunctionCount && kFunctions[static_cast<std::size_t>(index)].supported;
}

bool gw::IsInputAreaFunctionIndex(int index)
{
    return index >= FUNCTION_READ_COIL_STATUS && index <= FUNCTION_READ_INPUT_REGISTER;
}

bool gw::IsBitFunctionIndex(int index)
{
    return index == FUNCTION_READ_COIL_STATUS || index == FUNCTION_READ_INPUT_STATUS ||
           index == FUNCTION_FORCE_SINGLE_COIL || index == FUNCTION_FORCE_MULTIPLE_COILS;
}

bool gw::IsRegisterFunctionIndex(int index)
{
    return index == FUNCTION_READ_HOLDING_REGISTER || index == FUNCTION_READ_INPUT_REGISTER ||
           index == FUNCTION_PRESET_SINGLE_REGISTER || index == FUNCTION_PRESET_MULTIPLE_REGISTERS;
}

std::string gw::EmptyItemMessage(const std::string& quoted)
{
    return gw::GetLangString(MessageText::EmptyData) + "\r\n\"" + quoted + "\"";
}

CModbusCommand::CModbusCommand(std::string name, int functionIndex)
    : m_name(std::move(name)), m_commandType(functionIndex)
{
    if (gw::IsSupportedFunctionIndex(functionIndex))
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
    const int code = gw::GetFunctionInfo(index, nullptr, nullptr);
    const bool input = gw::IsInputAreaFunctionIndex(index);

    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::FunctionCode),
                                .help = gw::GetLangString(CommandText::FunctionCodeHelp),
                                .value = std::to_string(code), .state = STATE_SHOW_ONLY, .enable = 0}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::StartAddress),
                                .help = gw::GetLangString(CommandText::StartAddressHelp),
                                .value = "", .state = STATE_TEXT, .enable = 1}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::DataCount),
                                .help = gw::GetLangString(CommandText::DataCountHelp),
                                .value = "", .state = STATE_TEXT, .enable = 1}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::MapAddress),
                                .help = gw::GetLangString(input ? CommandText::MapAddressInputHelp
                                                            : CommandText::MapAddressOutputHelp),
                                .value = "", .state = STATE_TEXT, .enable = 1}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::MapBit), .help = gw::GetLangString(CommandText::MapBitHelp),
                                .value = "0", .state = STATE_TEXT, .enable = 1}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::ByteCount), .help = "",
                                .value = "0", .state = STATE_SHOW_ONLY, .enable = 0}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::ByteSwap),
                                .help = gw::GetLangString(CommandText::ByteSwapHelp),
                                .value = gw::GetLangString(ChoiceText::NonExchange), .state = STATE_LIST, .enable = 0,
                                .choices = {gw::GetLangString(ChoiceText::NonExchange),
                                            gw::GetLangString(ChoiceText::DoubleByteExchange),
                                            gw::GetLangString(ChoiceText::FourByteExchange)}}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::CheckType),
                                .help = gw::GetLangString(CommandText::CheckTypeHelp),
                                .value = "CRC", .state = STATE_SHOW_ONLY, .enable = 0}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::ScanType),
                                .help = gw::GetLangString(CommandText::ScanTypeHelp),
                                .value = gw::GetLangString(ChoiceText::FastScan), .state = STATE_LIST, .enable = 1,
                                .choices = {gw::GetLangString(ChoiceText::FastScan), gw::GetLangString(ChoiceText::SlowScan)}}));
    m_items.push_back(gw::MakeItem({.label = gw::GetLangString(CommandText::Mnemonic),
                                .help = gw::GetLangString(CommandText::MnemonicHelp),
                                .value = "", .state = STATE_TEXT, .enable = 1}));

    if (gw::IsRegisterFunctionIndex(index))   // register functions have no mapping bit
        m_items[CMD_ROW_MAP_BIT]->SetEnable(0);
    if (index == FUNCTION_FORCE_SINGLE_COIL || index == FUNCTION_PRESET_SINGLE_REGISTER) {
        // One datum, fixed.
        m_items[CMD_ROW_DATA_COUNT]->value = "1";
        m_items[CMD_ROW_DATA_COUNT]->SetEnable(0);
        m_items[CMD_ROW_BYTE_COUNT]->value = index == FUNCTION_FORCE_SINGLE_COIL ? "1" : "2";
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

Outcome CModbusCommand::CheckEmpty() const
{
    auto refuse = [&](const CParamItem& item) {
        return gw::Failure(gw::EmptyItemMessage(m_name + "\\" + item.label), RESULT_EMPTY_ITEM);
    };
    for (int row : {CMD_ROW_START_ADDRESS, CMD_ROW_DATA_COUNT, CMD_ROW_MAP_ADDRESS}) {
        const CParamItem* item = GetItemAt(row);
        if (item && item->value.empty())
            return refuse(*item);
    }
    if (gw::IsBitFunctionIndex(m_commandType)) {
        const CParamItem* item = GetItemAt(CMD_ROW_MAP_BIT);
        if (item && item->value.empty())
            return refuse(*item);
    }
    return {};
}
