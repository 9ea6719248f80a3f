#pragma once
// Configurations for gatewaycfg probe, and its JSON read back as short lines a test compares.

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "file/config_file.h"
#include "mapping/auto_map.h"
#include "support/config_builder.h"

// Slave 1 with the commands, mapped end to end, changed by edit and saved to path; the path.
inline std::string SaveProbeConfig(const std::string& path, const std::vector<test_config::CommandValues>& commands,
                                   const std::function<void(CDeviceConfig&)>& edit = {})
{
    auto root = test_config::MakeConfig(commands);
    test_config::SlaveOf(*root, 1);
    AutoMap(*root);
    if (edit)
        edit(*root);
    SaveFile(*root, path);
    return path;
}

// One line per command: "number status exception values", and with details "number status
// detail notes" instead; image gets the input image's hex digits.
inline std::string PolledLines(const std::string& json, std::string* image = nullptr, bool details = false)
{
    static const std::regex entry(
        R"re(\{"command": (\d+), "function": \d+, "start": \d+, "count": \d+, "status": "(\w+)", "exception": (\w+), )re"
        R"re("ms": [\d.]+, "values": (\[[\d, ]*\]), "detail": (null|"[^"]*"), "notes": (\[[^\]]*\]))re");
    std::string lines;
    for (std::sregex_iterator it(json.begin(), json.end(), entry), end; it != end; ++it)
        lines += (*it)[1].str() + " " + (*it)[2].str() + " " +
                 (details ? (*it)[5].str() + " " + (*it)[6].str() : (*it)[3].str() + " " + (*it)[4].str()) + "\n";
    std::smatch match;
    if (image)
        *image = std::regex_search(json, match, std::regex(R"re("input_image": "([0-9A-F]*)")re")) ? match[1].str() : "";
    return lines;
}
