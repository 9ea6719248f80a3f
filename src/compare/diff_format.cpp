#include "compare/diff_format.h"

#include <cstdio>

#include "model/json_text.h"

namespace {

constexpr const char* kArrow = " \u2192 ";
constexpr const char* kMissing = "(none)";

std::string Trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string JsonSide(const std::optional<std::string>& side)
{
    return side ? gw::JsonString(*side) : "null";
}

} // namespace

std::string gw::FormatDifference(const Difference& d)
{
    std::string line = d.node;
    line += d.item.empty() ? ": " : " / " + Trimmed(d.item) + ": ";
    line += d.left ? *d.left : kMissing;
    line += kArrow;
    line += d.right ? *d.right : kMissing;
    return line;
}

std::string gw::FormatDifferences(const std::vector<Difference>& differences)
{
    std::string text;
    for (const Difference& d : differences)
        text += FormatDifference(d) + "\n";
    return text;
}

std::string gw::DifferencesJson(const std::vector<Difference>& differences, const std::vector<JsonFact>& facts)
{
    std::string json = "{\"equal\": ";
    json += differences.empty() ? "true" : "false";
    for (const JsonFact& fact : facts)
        json += ", " + gw::JsonString(fact.name) + ": " + gw::JsonString(fact.text);
    json += ", \"differences\": [";
    for (std::size_t i = 0; i < differences.size(); ++i) {
        const Difference& d = differences[i];
        json += i == 0 ? "\n  " : ",\n  ";
        json += "{\"node\": " + gw::JsonString(d.node) + ", \"item\": " + gw::JsonString(Trimmed(d.item)) +
                ", \"left\": " + JsonSide(d.left) + ", \"right\": " + JsonSide(d.right) + "}";
    }
    json += differences.empty() ? "]}\n" : "\n]}\n";
    return json;
}
