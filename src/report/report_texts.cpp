#include "report/report_texts.h"

#include <array>

#include "model/lang_strings.h"

namespace {

struct TextPair {
    ReportText id;
    const char* english;
    const char* chinese;
};

constexpr std::array<TextPair, static_cast<std::size_t>(ReportText::Count_)> kTexts{{
    {ReportText::IoListTitle, "I/O list", "I/O 清单"},
    {ReportText::AddressingByte, "PLC addressing: byte (a word is named by its first byte: %IW256 is bytes 256 and 257)",
     "PLC 寻址：按字节（字以其首字节命名：%IW256 为字节 256 和 257）"},
    {ReportText::AddressingWord, "PLC addressing: word (a word is named by its index: %IW128 is bytes 256 and 257)",
     "PLC 寻址：按字（字以其序号命名：%IW128 为字节 256 和 257）"},
    {ReportText::ColumnCommand, "Command", "命令"},
    {ReportText::ColumnArea, "Area", "区域"},
    {ReportText::ColumnOffset, "Offset", "偏移"},
    {ReportText::ColumnBit, "Bit", "位"},
    {ReportText::ColumnLength, "Length", "长度"},
    {ReportText::ColumnLayout, "Data layout", "数据排列"},
    {ReportText::ColumnPlcAddress, "PLC address", "PLC 地址"},
    {ReportText::AreaInput, "input", "输入"},
    {ReportText::AreaOutput, "output", "输出"},
    {ReportText::UnitByte, "byte", "字节"},
    {ReportText::UnitBit, "bit", "位"},
    {ReportText::LayoutWords, "16-bit words, high byte first; %1: %2", "16 位字，高字节在前；%1：%2"},
    {ReportText::LayoutBits, "bits from bit %1 upwards", "从第 %1 位起逐位向上"},
    {ReportText::InputBytesNeeded, "Input bytes the PROFIBUS master must provide at least: %1",
     "PROFIBUS 主站至少须提供的输入字节数：%1"},
    {ReportText::OutputBytesNeeded, "Output bytes the PROFIBUS master must provide at least: %1",
     "PROFIBUS 主站至少须提供的输出字节数：%1"},
    {ReportText::SharedByte, "Byte %1 of the %2 area is shared by commands %3", "%2区字节 %1 由命令 %3 共用"},
    {ReportText::NoSharedByte, "No byte is shared by two commands.", "没有两条命令共用的字节。"},
    {ReportText::AreaOverflow, "%1 The area needs %2 bytes and holds 244.", "%1 该区需要 %2 字节，仅有 244 字节。"},
    {ReportText::OddWord, "Command %1 starts at byte %2: word addressing has no word there, so its first byte is named.",
     "命令 %1 起始于字节 %2：按字寻址时该处没有字，故给出其首字节。"},
    {ReportText::ReportTitle, "Commissioning report", "调试报告"},
    {ReportText::ModuleAndFile, "Module and file", "模块与文件"},
    {ReportText::File, "File", "文件"},
    {ReportText::SavedAt, "Saved", "保存时间"},
    {ReportText::Language, "Language", "语言"},
    {ReportText::HardwareVersion, "Hardware version", "硬件版本"},
    {ReportText::Configuration, "Configuration", "配置"},
    {ReportText::Item, "Item", "项"},
    {ReportText::Value, "Value", "值"},
    {ReportText::Commands, "Modbus commands", "Modbus 命令"},
    {ReportText::MemoryMap, "Memory map", "内存映射"},
    {ReportText::ProbeTitle, "Commands against the Modbus slave", "对 Modbus 从站的命令测试"},
    {ReportText::Outcome, "Outcome", "结果"},
    {ReportText::Exception, "Exception", "异常"},
    {ReportText::TimeMs, "Time (ms)", "时间 (ms)"},
    {ReportText::Values, "Values", "数值"},
    {ReportText::InputImage, "Input image", "输入映像"},
    {ReportText::VerifyTitle, "Verification against the module", "与模块的核对"},
    {ReportText::VerifiedAt, "Verified", "核对时间"},
    {ReportText::VerifyEqual, "The module holds what the file says.", "模块中的配置与文件一致。"},
    {ReportText::VerifyDiffers, "The module differs from the file in %1 item(s).", "模块与文件有 %1 项不同。"},
    {ReportText::Node, "Node", "节点"},
    {ReportText::ModuleSide, "Module", "模块"},
    {ReportText::Missing, "(missing)", "（无）"},
}};

constexpr bool InIdOrder()
{
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        if (static_cast<std::size_t>(kTexts[i].id) != i)
            return false;
    return true;
}
static_assert(InIdOrder(), "the texts stand in the order of their ids");

} // namespace

std::string gw::ReportString(ReportText id)
{
    const TextPair& pair = kTexts[static_cast<std::size_t>(id)];
    return ActiveLanguage() == Language::Chinese ? pair.chinese : pair.english;
}

std::string gw::ReportString(ReportText id, std::initializer_list<std::string> arguments)
{
    const std::string text = ReportString(id);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : arguments.size();
        if (text[i] == '%' && n < arguments.size()) {
            out += *(arguments.begin() + n);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
