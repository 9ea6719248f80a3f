#pragma once
// Names of the string table's ids, one enum per family. The values are the ids both tables
// store (string_table_en.cpp, string_table_zh.cpp); a StringId is an id of any family, as
// GetLangString takes it.

#include <cstdint>

// The program's titles and names: the main window, the maker, the workbook sheets, the help file.
enum class AppText : std::int32_t {
    ProgramTitle = 1,     // "Embedded Module Configuration Software Orvel"
    OrderListSheet = 16,  // "Order list"
    FieldbusName = 17,    // "PROFIBUS": the fieldbus node and its sheet
    SubnetName = 18,      // "Subnet": the subnet node and its sheet
    UploadTitle = 31,
    DownloadTitle = 32,
    MakerName = 88,
    MakerAddress = 89,
    HelpFile = 1002,      // "\Orvel_EN.chm"
};

// Short captions of the main commands, shown as tool-tips.
enum class CaptionText : std::int32_t {
    New = 4,
    Save = 5,
    Open = 6,
    Upload = 11,
    Download = 12,
    Mapping = 13,
    Excel = 14,
    Conflict = 5017,
};

// Questions, outcomes and refusals the user is shown.
enum class MessageText : std::int32_t {
    AutoMapQuestion = 19,       // "Whether calculate mapping address automatically or not?"
    NoPortSelected = 27,
    PortOpenFailed = 28,        // "Failed to open serial port!"
    DownloadSucceeded = 29,
    UploadSucceeded = 30,
    SaveChangesQuestion = 47,   // "Configuration has been changed, save it or not?"
    TooManyCommands = 1001,     // "MODBUS Command number is more than 48!"
    UnknownError = 5001,
    Succeeded = 5002,
    ResponseTimeout = 5003,
    ValidationError = 5004,
    UploadCheckError = 5005,
    SerialReadFailed = 5006,
    EmptyItem = 5007,
    IllegalCharacter = 5008,
    OutOfRange = 5009,
    VersionMismatch = 5010,
    CommandUploadError = 5011,
    MappingConflict = 5012,
    UserConfigNotSupported = 5013,
    MappingOverflow = 5014,
    InputOverflow = 5015,       // "Input mapping address overflow!"
    OutputOverflow = 5016,      // "Output mapping address overflow!"
    EmptyData = 5018,           // "The Following data is empty!"
    LanguageMismatch = 5019,
};

// Texts offered as the choices of list items.
enum class ChoiceText : std::int32_t {
    ModbusMaster = 20,
    UserConfig = 21,
    FrameLength = 22,           // frame types
    Delimiter = 23,
    CharacterInterval = 24,
    Disable = 25,
    Enable = 26,
    NonExchange = 52,           // byte swaps
    DoubleByteExchange = 53,
    FourByteExchange = 54,
    SlowScan = 55,
    FastScan = 56,
    ParityNone = 71,
    ParityOdd = 72,
    ParityEven = 73,
    ParityMark = 74,
    ParitySpace = 75,
    ChangeOfValue = 76,         // output modes
    Cyclic = 77,
    Forbidden = 78,
    ProbeAddress = 81,          // "Probe Addr Automatically"
    SetByIoPort = 82,           // "Set by I/O Port"
    DefaultValue = 86,
    Customized = 87,
};

// Names of the Modbus functions, in the order of the function table, and of an unknown one.
enum class FunctionText : std::int32_t {
    ReadCoilStatus = 33,
    ReadInputStatus = 34,
    ReadHoldingRegister = 35,
    ReadInputRegister = 36,
    ForceSingleCoil = 37,
    PresetSingleRegister = 38,
    ReadExceptionStatus = 39,
    Diagnostics = 40,
    FetchCommEventCounter = 41,
    FetchCommEventLog = 42,
    ProgramController = 43,
    PollController = 44,
    ForceMultipleCoils = 45,
    PresetMultipleRegisters = 46,
    ErrorCommand = 48,          // "Error command"
};

// Labels, help texts and fixed values of the fieldbus node's items.
enum class BusText : std::int32_t {
    Protocol = 59,
    ProtocolHelp = 60,
    InputBytes = 61,
    InputBytesHelp = 62,
    InputBytesValue = 63,
    OutputBytes = 64,
    OutputBytesHelp = 65,
    OutputBytesValue = 66,
    AddressMode = 80,
    AddressModeHelp = 83,
    ProbeTimeout = 84,
    ProbeTimeoutHelp = 85,
};

// Labels and help texts of the subnet node's items.
enum class SubnetText : std::int32_t {
    SlaveAddress = 49,
    SlaveAddressHelp = 50,
    CharacterInterval = 57,
    CharacterIntervalHelp = 58,
    FrameLength = 22,           // the label is the frame type's choice text
    FrameLengthHelp = 4024,
    Protocol = 4001,
    ProtocolHelp = 4002,
    BaudRate = 4003,
    BaudRateHelp = 4004,
    DataBits = 4005,
    DataBitsHelp = 4006,
    CheckBit = 4007,
    CheckBitHelp = 4008,
    StopBits = 4009,
    StopBitsHelp = 4010,
    Transmission = 4011,
    TransmissionHelp = 4012,
    ResponseTimeout = 4013,
    ResponseTimeoutHelp = 4014,
    PollDelay = 4015,
    PollDelayHelp = 4016,
    OutputMode = 4017,
    OutputModeHelp = 4018,
    OutputPulse = 4019,
    OutputPulseHelp = 4020,
    ScanRate = 4021,
    ScanRateHelp = 4022,
    StartDelimiter = 4025,
    StartDelimiterHelp = 4026,
    EndDelimiter = 4027,
    EndDelimiterHelp = 4028,
    AutoSendPeriod = 4029,
    AutoSendPeriodHelp = 4030,
    AutoSend = 4031,
    AutoSendHelp = 4032,
    CrcCheck = 4033,
    CrcCheckHelp = 4034,
    FrameTypeHelp = 4036,
    FrameType = 4037,
};

// Labels and help texts of a slave node's items.
enum class SlaveText : std::int32_t {
    Address = 49,
    AddressHelp = 79,
};

// Labels and help texts of a command's items.
enum class CommandText : std::int32_t {
    DataCount = 3005,
    DataCountHelp = 3006,
    MapAddress = 3007,
    MapAddressInputHelp = 3008,
    MapAddressOutputHelp = 3009,
    MapBit = 3010,
    MapBitHelp = 3011,
    ByteCount = 3012,
    ByteSwap = 3014,
    ByteSwapHelp = 3015,
    CheckType = 3016,
    CheckTypeHelp = 3017,
    ScanType = 3018,
    ScanTypeHelp = 3019,
    Mnemonic = 3020,
    MnemonicHelp = 3021,
    FunctionCode = 3051,
    FunctionCodeHelp = 3052,
    StartAddress = 3053,
    StartAddressHelp = 3054,
};

// An id of any family; the default one has no text.
class StringId {
public:
    constexpr StringId() = default;
    constexpr StringId(AppText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(CaptionText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(MessageText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(ChoiceText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(FunctionText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(BusText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(SubnetText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(SlaveText id) : m_id(static_cast<std::int32_t>(id)) {}
    constexpr StringId(CommandText id) : m_id(static_cast<std::int32_t>(id)) {}
    // An id as the tables store it, for code that walks a table itself.
    constexpr explicit StringId(std::int32_t id) : m_id(id) {}

    constexpr std::int32_t Value() const { return m_id; }
    constexpr bool operator==(const StringId&) const = default;

private:
    std::int32_t m_id = 0;
};
