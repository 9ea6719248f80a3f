// Values that no edit could store, as a hand-edited file or a module brings them: gatewaycfg
// check and download refuse them by node and label before the line is used; an upload keeps
// them and lists them.

#include <gtest/gtest.h>

#include <functional>

#include "file/config_file.h"
#include "link_test_support.h"
#include "model/lang_strings.h"
#include "sim_process.h"
#include "support/module_states.h"
#include "support/run_program.h"

namespace {

using namespace link_test;

// A scratch folder that gatewaycfg runs in, its output caught beside it.
struct Workspace : ScratchFolder {
    std::filesystem::path operator/(const std::string& name) const { return Path() / name; }
    ProgramRun Gatewaycfg(const std::vector<std::string>& args, long maxFileBytes = 0) const
    {
        return RunProgram(GATEWAYCFG_PATH, args, m_capture.Path().string(), {Path().string(), maxFileBytes});
    }
    ScratchFolder m_capture;
};

CParamItem* Command(CDeviceConfig& root, int n, int row)
{
    return root.Subnet().GetNodeAt(0)->GetCommandAt(n - 1)->GetItemAt(row);
}

const std::string kRange = "An item is Out of range";

TEST(ValueCheck, CheckAndDownloadRefuseEveryImpossibleValueBeforeTheLineIsUsed)
{
    struct Case {
        int mode;
        std::function<void(CDeviceConfig&)> spoil;
        int status;                        // of check and download; 0: both pass
        std::vector<std::string> faults;   // the lines naming each value, in tree order
    };
    const Case cases[] = {
        {MODE_MODBUS_MASTER, [](CDeviceConfig& r) { SetText(r.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT), "0"); },
         8, {"subnet / Response Timeout(50~60000ms) = \"0\": " + kRange}},
        {MODE_MODBUS_MASTER, [](CDeviceConfig& r) { SetText(Command(r, 2, CMD_ROW_MAP_ADDRESS), "1GH"); },
         7, {"command:2 / Mapping Address(HEX) = \"1GH\": Illegal character in an item"}},
        {MODE_MODBUS_MASTER, [](CDeviceConfig& r) { SetText(Command(r, 5, CMD_ROW_MAP_ADDRESS), "00F0H"); },
         8, {"command:5 / Mapping Address(HEX) = \"00F0H\": " + kRange}},
        {MODE_MODBUS_MASTER, [](CDeviceConfig& r) { SetText(r.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_MODE), "Often"); },
         8, {"subnet / Output Mode = \"Often\": not one of the choices: \"Cyclic\" \"Forbidden\" \"Change of Value\""}},
        {MODE_MODBUS_MASTER,
         [](CDeviceConfig& r) {
             SetText(r.Subnet().GetItemAt(SUBNET_ROW_TRANSMISSION), "ASCII");
             SetText(Command(r, 3, CMD_ROW_DATA_COUNT), "46");
         },
         8, {"command:3 / Number of Data = \"46\": " + kRange}},
        {MODE_MODBUS_MASTER,
         [](CDeviceConfig& r) {
             SetText(r.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT), "5 s");
             SetText(r.Subnet().GetNodeAt(0)->GetItemAt(SLAVE_ROW_ADDRESS), "300");
         },
         7, {"profibus / Timeout Duration of Probing Modbus Node(ms) = \"5 s\": Illegal character in an item",
             "slave:1 / Slave Address = \"300\": " + kRange}},
        {MODE_USER_CONFIG, [](CDeviceConfig& r) { SetText(r.Subnet().GetItemAt(SUBNET_ROW_FRAME_LENGTH), "0"); },
         8, {"subnet / Frame Length = \"0\": " + kRange}},
        // The other mode's rows are not sent, so they are not judged.
        {MODE_MODBUS_MASTER,
         [](CDeviceConfig& r) { SetText(r.Subnet().GetCommonModeItemAt(SUBNET_ROW_FRAME_LENGTH - kSubnetBaseRows), "0"); },
         0, {}},
    };
    Workspace ws;
    const std::string state = (ws / "module.state").string();
    SimProcess sim({"--state", state});
    ASSERT_TRUE(sim.Running());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults.empty() ? "valid" : c.faults.front());
        auto root = MakeConfig(c.mode, 8);
        c.spoil(*root);
        ASSERT_TRUE(SaveFile(*root, (ws / "plant.xml").string()).ok);
        std::string listed;
        for (const std::string& fault : c.faults)
            listed += "plant.xml: " + fault + "\n";

        const ProgramRun check = ws.Gatewaycfg({"check", "plant.xml"});
        EXPECT_EQ(check.status, c.status);
        EXPECT_EQ(check.err, listed);
        const ProgramRun down = ws.Gatewaycfg({"download", "plant.xml", "--port", sim.Path(), "--trace"});
        EXPECT_EQ(down.status, c.status) << down.err;
        EXPECT_EQ(down.err.rfind(listed, 0), 0u) << down.err;
        EXPECT_EQ(std::filesystem::exists(state), c.status == 0) << "a refused configuration reached the module";
        EXPECT_EQ(down.out.find("-> ") == std::string::npos, c.status != 0) << down.out;
    }
}

TEST(ValueCheck, AnUploadKeepsTheModulesImpossibleValuesAndListsThem)
{
    Workspace ws;
    std::string error;
    ASSERT_TRUE(SaveModuleState((ws / "module.state").string(), ModuleHoldingImpossibleValues(), error)) << error;
    SimProcess sim({"--state", (ws / "module.state").string()});
    ASSERT_TRUE(sim.Running());

    const ProgramRun up = ws.Gatewaycfg({"upload", "read.xml", "--port", sim.Path()});
    EXPECT_EQ(up.status, 0) << up.err;
    EXPECT_EQ(up.out, GetLangString(30) + "\nread.xml: subnet / Response Timeout(50~60000ms) = \"0\": " + kRange +
                          "\nread.xml: command:1 / Number of Data = \"512\": " + kRange + "\n");
    EXPECT_EQ(ws.Gatewaycfg({"check", "read.xml"}).status, 8) << "the file holds what the module holds";
    const ProgramRun unsaved = ws.Gatewaycfg({"upload", "big.xml", "--port", sim.Path()}, 2000);
    EXPECT_EQ(unsaved.status, 74);
    EXPECT_EQ(unsaved.out, "") << "no success without the file";
}

} // namespace
