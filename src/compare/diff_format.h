#pragma once
// Differences as text: one line each ("command:3 / Number of Data: 10 → 12"), and as JSON.

#include <string>
#include <vector>

#include "compare/config_diff.h"

std::string FormatDifference(const Difference& difference);
std::string FormatDifferences(const std::vector<Difference>& differences);
// {"equal": bool, "differences": [{"node", "item", "left", "right"}]}; null for a missing side.
std::string DifferencesJson(const std::vector<Difference>& differences);
