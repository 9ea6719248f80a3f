#include "support/probe_json.h"

#include <regex>

#include "mapping/auto_map.h"

std::string SaveProbeConfig(const std::string& path, const std::vector<test_config::CommandValues>& commands,
                            const std::function<void(CDeviceConfig&)>& edit)
{
    auto root = test_config::MakeConfig(commands);
    test_config::SlaveOf(*root, 1);
    gw::AutoMap(*root);
    if (edit)
        edit(*root);
    return test_config::SaveConfig(*root, path);
}

std::string PolledLines(const std::string& json, std::string* image, bool details)
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
