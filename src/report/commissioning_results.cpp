#include "report/commissioning_results.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "file/config_file.h"

using nlohmann::json;

namespace {

// Far larger than any result gatewaycfg prints; a larger file is not one of them.
constexpr std::size_t kMaxResultBytes = 4u << 20;

struct Fault {
    std::string message;
};

const json& Field(const json& object, const char* name, const std::string& where)
{
    if (!object.is_object())
        throw Fault{where + ": not a JSON object"};
    const auto it = object.find(name);
    if (it == object.end())
        throw Fault{where + ": \"" + name + "\" is missing"};
    return *it;
}

long long Integer(const json& object, const char* name, const std::string& where)
{
    const json& value = Field(object, name, where);
    if (!value.is_number_integer())
        throw Fault{where + ": \"" + name + "\" is not a whole number"};
    return value.get<long long>();
}

std::string Text(const json& object, const char* name, const std::string& where)
{
    const json& value = Field(object, name, where);
    if (!value.is_string())
        throw Fault{where + ": \"" + name + "\" is not a text"};
    return value.get<std::string>();
}

std::optional<std::string> TextOrNull(const json& object, const char* name, const std::string& where)
{
    const json& value = Field(object, name, where);
    if (value.is_null())
        return std::nullopt;
    return Text(object, name, where);
}

const json& Array(const json& object, const char* name, const std::string& where)
{
    const json& value = Field(object, name, where);
    if (!value.is_array())
        throw Fault{where + ": \"" + name + "\" is not a list"};
    return value;
}

template <typename Read>
Outcome Parse(const std::string& text, const std::string& source, Read&& read)
{
    try {
        read(json::parse(text));
        return {};
    } catch (const json::parse_error& e) {
        return gw::Failure(source + ": not a JSON document (at byte " + std::to_string(e.byte) + ")");
    } catch (const json::exception& e) {
        return gw::Failure(source + ": " + e.what());
    } catch (const Fault& fault) {
        return gw::Failure(fault.message);
    }
}

Outcome ReadText(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return gw::Failure("Cannot open " + path + ": " + std::strerror(errno));
    char buffer[1 << 16];
    while (text.size() <= kMaxResultBytes && (in.read(buffer, sizeof buffer) || in.gcount() > 0))
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return gw::Failure("Cannot read " + path + ": " + std::strerror(errno));
    if (text.size() > kMaxResultBytes)
        return gw::Failure(path + ": larger than " + std::to_string(kMaxResultBytes >> 20) + " MB, not a result of gatewaycfg");
    return {};
}

std::string ModificationTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return gw::LocalDateTimeText(st.st_mtime);
}

} // namespace

Outcome gw::ParseProbeResults(const std::string& text, const std::string& source, ProbeResults& results)
{
    ProbeResults read;
    Outcome parsed = Parse(text, source, [&](const json& document) {
        const json& commands = Array(document, "commands", source);
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const json& entry = commands[i];
            const std::string where = source + ": commands[" + std::to_string(i) + "]";
            ProbeCommandResult command;
            command.command = static_cast<int>(Integer(entry, "command", where));
            command.function = static_cast<int>(Integer(entry, "function", where));
            command.start = Integer(entry, "start", where);
            command.count = Integer(entry, "count", where);
            command.status = Text(entry, "status", where);
            if (const json& exception = Field(entry, "exception", where); !exception.is_null())
                command.exception = Integer(entry, "exception", where);
            const json& ms = Field(entry, "ms", where);
            if (!ms.is_number())
                throw Fault{where + ": \"ms\" is not a number"};
            command.ms = ms.get<double>();
            for (const json& value : Array(entry, "values", where)) {
                if (!value.is_number_integer())
                    throw Fault{where + ": \"values\" holds something other than whole numbers"};
                command.values.push_back(value.get<long long>());
            }
            read.commands.push_back(std::move(command));
        }
        read.inputImage = Text(document, "input_image", source);
        if (read.inputImage.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
            throw Fault{source + ": \"input_image\" holds other characters than hexadecimal digits"};
    });
    if (parsed)
        results = std::move(read);
    return parsed;
}

Outcome gw::ParseVerifyResults(const std::string& text, const std::string& source, VerifyResults& results)
{
    VerifyResults read;
    Outcome parsed = Parse(text, source, [&](const json& document) {
        const json& equal = Field(document, "equal", source);
        if (!equal.is_boolean())
            throw Fault{source + ": \"equal\" is neither true nor false"};
        read.equal = equal.get<bool>();
        const json& differences = Array(document, "differences", source);
        for (std::size_t i = 0; i < differences.size(); ++i) {
            const std::string where = source + ": differences[" + std::to_string(i) + "]";
            const json& entry = differences[i];
            read.differences.push_back({Text(entry, "node", where), Text(entry, "item", where),
                                        TextOrNull(entry, "left", where), TextOrNull(entry, "right", where)});
        }
        if (read.equal != read.differences.empty())
            throw Fault{source + ": \"equal\" does not agree with the list of differences"};
        if (document.contains("hardware"))
            read.hardware = Text(document, "hardware", source);
        if (document.contains("date"))
            read.date = Text(document, "date", source);
    });
    if (parsed)
        results = std::move(read);
    return parsed;
}

Outcome gw::LoadProbeResults(const std::string& path, ProbeResults& results)
{
    std::string text;
    if (Outcome read = ReadText(path, text); !read)
        return read;
    return ParseProbeResults(text, path, results);
}

Outcome gw::LoadVerifyResults(const std::string& path, VerifyResults& results)
{
    std::string text;
    if (Outcome read = ReadText(path, text); !read)
        return read;
    if (Outcome parsed = ParseVerifyResults(text, path, results); !parsed)
        return parsed;
    if (results.date.empty())
        results.date = ModificationTime(path);
    return {};
}
