#pragma once
// The fixed texts of the I/O list and the report that the model's string table does not have,
// in both languages. Texts that the string table has (item labels, function names, overflow
// messages) are taken from there.

#include <initializer_list>
#include <string>

enum class ReportText {
    IoListTitle,
    AddressingByte,
    AddressingWord,
    ColumnCommand,
    ColumnArea,
    ColumnOffset,
    ColumnBit,
    ColumnLength,
    ColumnLayout,
    ColumnPlcAddress,
    AreaInput,
    AreaOutput,
    UnitByte,
    UnitBit,
    LayoutWords,
    LayoutBits,
    InputBytesNeeded,
    OutputBytesNeeded,
    SharedByte,
    NoSharedByte,
    AreaOverflow,
    OddWord,
    ReportTitle,
    ModuleAndFile,
    File,
    SavedAt,
    Language,
    HardwareVersion,
    Configuration,
    Item,
    Value,
    Commands,
    MemoryMap,
    ProbeTitle,
    Outcome,
    Exception,
    TimeMs,
    Values,
    InputImage,
    VerifyTitle,
    VerifiedAt,
    VerifyEqual,
    VerifyDiffers,
    Node,
    ModuleSide,
    Missing,
    Count_   // the number of texts; not a text
};

namespace gw {

// The text in the program's language.
std::string ReportString(ReportText id);
// The text with %1, %2 ... replaced by the arguments in turn.
std::string ReportString(ReportText id, std::initializer_list<std::string> arguments);

} // namespace gw
