#include "report/io_list_formats.h"

#include <nlohmann/json.hpp>

#include "mapping/auto_map.h"

namespace {

nlohmann::ordered_json OrNull(const std::optional<std::int64_t>& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json TextOrNull(const std::string& text)
{
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

} // namespace

std::string gw::IoListJson(const IoList& list)
{
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const IoRow& row : list.rows) {
        rows.push_back({{"command", row.command},
                        {"mnemonic", row.mnemonic},
                        {"slave", row.slave},
                        {"function", row.function},
                        {"start", row.start},
                        {"count", row.count},
                        {"area", AreaKey(row.area)},
                        {"offset_hex", OffsetHex(row.offset)},
                        {"offset", row.offset},
                        {"bit", row.bit ? nlohmann::ordered_json(*row.bit) : nlohmann::ordered_json(nullptr)},
                        {"length", row.length},
                        {"unit", UnitKey(row.unit)},
                        {"layout", row.layout},
                        {"plc_address", TextOrNull(row.plcAddress)}});
    }
    nlohmann::ordered_json shared = nlohmann::ordered_json::array();
    for (const SharedByte& byte : list.shared)
        shared.push_back({{"area", AreaKey(byte.area)},
                          {"offset", byte.offset},
                          {"offset_hex", OffsetHex(byte.offset)},
                          {"commands", byte.commands}});
    const nlohmann::ordered_json document = {{"plc_addressing", PlcAddressingKey(list.addressing)},
                                     {"input_base", OrNull(list.inputBase)},
                                     {"output_base", OrNull(list.outputBase)},
                                     {"rows", rows},
                                     {"input_bytes", list.inputBytes},
                                     {"output_bytes", list.outputBytes},
                                     {"area_bytes", kAreaBytes},
                                     {"shared_bytes", shared},
                                     {"notes", list.notes}};
    // Texts from a hand-edited file may hold bytes that are no UTF-8: they are replaced.
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
