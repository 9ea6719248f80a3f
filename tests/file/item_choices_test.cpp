// The choice list of an item is read from its "Combo" element, which follows the four fields
// "Ref", "CurrentVal", "State" and "Enable". A field whose text happens to be "Combo" must not
// be taken for it: the choices would be lost on the next save.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "file/config_file.h"
#include "model/device_config.h"

namespace fs = std::filesystem;

namespace {

struct ChoiceCase {
    const char* name;
    std::function<CParamItem*(CDeviceConfig&)> item;
    std::string help;    // empty: keep the constructor's help text
    std::string value;   // empty: keep the constructor's value
};

TEST(ItemChoicesInFile, FieldsReadingComboKeepTheChoices)
{
    const std::vector<ChoiceCase> cases = {
        {"drop-down whose value is Combo",
         [](CDeviceConfig& c) { return c.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_MODE); }, "", "Combo"},
        {"drop-down whose help text is Combo",
         [](CDeviceConfig& c) { return c.Subnet().GetItemAt(SUBNET_ROW_BAUD_RATE); }, "Combo", ""},
        {"typed drop-down with both fields Combo",
         [](CDeviceConfig& c) { return c.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT); }, "Combo", "Combo"},
        {"shown-only item with choices whose value is Combo",
         [](CDeviceConfig& c) { return c.Subnet().GetItemAt(SUBNET_ROW_DATA_BITS); }, "", "Combo"},
    };
    const fs::path dir = fs::temp_directory_path() / ("gw-item-choices-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "combo.xml").string();
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDeviceConfig saved;
        CParamItem* item = c.item(saved);
        ASSERT_NE(item, nullptr);
        ASSERT_FALSE(item->choices.empty());
        if (!c.help.empty())
            item->help = c.help;
        if (!c.value.empty())
            item->value = c.value;
        ASSERT_TRUE(SaveFile(saved, path).ok);

        for (int pass = 1; pass <= 2; ++pass) {   // read, write again, read again
            SCOPED_TRACE("pass " + std::to_string(pass));
            CDeviceConfig loaded;
            const FileResult result = LoadFile(loaded, path);
            ASSERT_TRUE(result.ok) << result.message;
            const CParamItem* back = c.item(loaded);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(back->help, item->help);
            EXPECT_EQ(back->value, item->value);
            EXPECT_EQ(back->state, item->state);
            EXPECT_EQ(back->enable, item->enable);
            EXPECT_EQ(back->choices, item->choices);
            ASSERT_TRUE(SaveFile(loaded, path).ok);
        }
    }
    fs::remove_all(dir);
}

} // namespace
