#include "sim/module_state.h"

#include <cctype>
#include <sstream>

#include "file/regular_file.h"
#include "file/replacement_file.h"
#include "model/hex_text.h"

namespace {

// " 01 00 01": each byte after a blank.
std::string Hex(std::span<const std::uint8_t> bytes)
{
    return bytes.empty() ? std::string() : " " + gw::HexText(bytes);
}

bool ReadHexBytes(std::istringstream& in, std::span<std::uint8_t> out)
{
    for (std::uint8_t& b : out) {
        std::string token;
        if (!(in >> token) || token.size() != 2 || !std::isxdigit(static_cast<unsigned char>(token[0])) ||
            !std::isxdigit(static_cast<unsigned char>(token[1])))
            return false;
        b = static_cast<std::uint8_t>(std::stoul(token, nullptr, 16));
    }
    std::string extra;
    return !(in >> extra);
}

} // namespace

ModuleState ModuleState::Factory()
{
    ModuleState state;
    state.serial = {0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00, 0x03, 0x00,
                    0x0A, 0x00, 0x00, 0x0A, 0x6F, 0x00, 0x00, 0x00, 0x03, 0xE8, 0x00, 0x00};
    state.bus = {0xFF, 0xFF, 0xFF, 0xFF};
    state.addressMode = 0x01;
    return state;
}

std::string gw::FormatModuleState(const ModuleState& state)
{
    std::string text = "# gateway-sim module state\n";
    text += "serial" + Hex(state.serial) + "\n";
    text += "bus" + Hex(state.bus) + "\n";
    text += "address-mode" + Hex(std::span(&state.addressMode, 1)) + "\n";
    for (const CommandRecord& record : state.commands)
        text += "command" + Hex(record) + "\n";
    return text;
}

Outcome gw::ParseModuleState(const std::string& text, ModuleState& state)
{
    ModuleState read;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string key;
        in >> key;
        bool ok = false;
        if (key == "serial") {
            ok = ReadHexBytes(in, read.serial);
        } else if (key == "bus") {
            ok = ReadHexBytes(in, read.bus);
        } else if (key == "address-mode") {
            ok = ReadHexBytes(in, std::span(&read.addressMode, 1));
        } else if (key == "command") {
            CommandRecord record{};
            ok = ReadHexBytes(in, record) && read.commands.size() < 48;
            read.commands.push_back(record);
        }
        if (!ok)
            return Failure("line " + std::to_string(number) + ": cannot read \"" + line + "\"");
    }
    state = read;
    return {};
}

Outcome gw::LoadModuleState(const std::string& path, ModuleState& state)
{
    // A state of 48 commands takes a few kilobytes; anything far larger is not one.
    constexpr std::size_t kLimit = 1 << 20;
    std::string text;
    if (const Outcome read = ReadRegularFile(path, kLimit, text); !read)
        return Failure(path + ": " + read.message);
    if (text.size() > kLimit)
        return Failure(path + ": far larger than any module state");
    if (const Outcome parsed = ParseModuleState(text, state); !parsed)
        return Failure(path + ": " + parsed.message);
    return {};
}

Outcome gw::SaveModuleState(const std::string& path, const ModuleState& state)
{
    if (const Outcome written = ReplaceFileContents(path, FormatModuleState(state)); !written)
        return Failure(path + ": " + written.message);
    return {};
}
