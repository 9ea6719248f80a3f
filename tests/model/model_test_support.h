#pragma once
// Helpers shared by the model tests: an expected grid row, a check of an item against it,
// and a grid sink that records what a node writes.

#include "model/item_list.h"
#include "model/lang_strings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace model_test {

// One row as the property grid shows it; helpId 0 leaves the help text unchecked.
struct RowSpec {
    std::string label;
    std::string value;
    std::int32_t state;
    std::int32_t enable;
    std::vector<std::string> choices;
    std::int32_t helpId = 0;
};

inline void ExpectRow(const CParamItem* item, const RowSpec& want)
{
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->label, want.label);
    EXPECT_EQ(item->value, want.value);
    EXPECT_EQ(item->state, want.state);
    EXPECT_EQ(item->enable, want.enable);
    EXPECT_EQ(item->choices, want.choices);
    if (want.helpId != 0) {
        EXPECT_EQ(item->help, GetLangString(want.helpId));
    }
}

class RecordingGrid : public CGridSink {
public:
    void ShowItem(int row, CParamItem& item) override { rows.emplace_back(row, &item); }
    std::vector<std::pair<int, CParamItem*>> rows;
};

} // namespace model_test
