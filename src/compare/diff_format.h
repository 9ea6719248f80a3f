#pragma once
// Differences as text: one line each ("command:3 / Number of Data: 10 → 12"), and as JSON.

#include <string>
#include <vector>

#include "compare/config_diff.h"

namespace gw {

std::string FormatDifference(const Difference& difference);
std::string FormatDifferences(const std::vector<Difference>& differences);

} // namespace gw

// A named text that a JSON document of differences carries beside them.
struct JsonFact {
    std::string name;
    std::string text;
};

namespace gw {

// {"equal": bool, the facts in order, "differences": [{"node", "item", "left", "right"}]};
// null for a missing side.
std::string DifferencesJson(const std::vector<Difference>& differences, const std::vector<JsonFact>& facts = {});

} // namespace gw
