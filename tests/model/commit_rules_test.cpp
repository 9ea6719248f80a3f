// Committing edits: the value checks of typed texts per record and row, the values they
// store, the rules that picked choices apply to other rows, and the refusal kinds.

#include "model/commit_rules.h"
#include "model/device_config.h"
#include "support/config_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

// What an edit works on: the subnet (in a mode), the slave node, or a command of a function index.
// The row under test is enabled first where asked, as a choice rule or a file could.
struct Given {
    enum { Subnet, Slave, Command, Bus } target = Subnet;
    int mode = MODE_MODBUS_MASTER;
    int function = FUNCTION_READ_HOLDING_REGISTER;
    std::string transmission = "RTU";
    bool enableFirst = false;
};
Given Master() { return {}; }
Given Bus() { return {Given::Bus}; }
Given Slave() { return {Given::Slave}; }
Given User(bool enableFirst = true)
{
    return {Given::Subnet, MODE_USER_CONFIG, FUNCTION_READ_HOLDING_REGISTER, "RTU", enableFirst};
}
// The table's functions, named by their Modbus codes.
constexpr int Fc1 = FUNCTION_READ_COIL_STATUS, Fc2 = FUNCTION_READ_INPUT_STATUS, Fc3 = FUNCTION_READ_HOLDING_REGISTER,
              Fc4 = FUNCTION_READ_INPUT_REGISTER, Fc5 = FUNCTION_FORCE_SINGLE_COIL, Fc6 = FUNCTION_PRESET_SINGLE_REGISTER,
              Fc15 = FUNCTION_FORCE_MULTIPLE_COILS, Fc16 = FUNCTION_PRESET_MULTIPLE_REGISTERS;
Given Cmd(int function, std::string transmission = "RTU") { return {Given::Command, MODE_MODBUS_MASTER, function, transmission}; }

// A configuration with one slave node and, for command targets, one command under it.
struct Workbench {
    CDeviceConfig root;
    CSlaveNode* slave = root.Subnet().AddNode();
    TreeRecord record;

    explicit Workbench(const Given& s)
    {
        root.Subnet().SetMode(s.mode);
        root.Subnet().GetItemAt(SUBNET_ROW_TRANSMISSION)->value = s.transmission;
        record = s.target == Given::Bus      ? TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus())
                 : s.target == Given::Subnet ? TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet())
                 : s.target == Given::Slave ? TreeRecord::ForSlave(slave)
                                            : TreeRecord::ForCommand(slave, slave->AddCommand(s.function));
    }
};

TEST(CommitTextTest, ChecksAndStoresTypedValues)
{
    struct Case {
        Given given;
        int row;
        std::string input;
        ResultCode code;       // 0: accepted, else the refusing check's result code
        std::string stored;    // the value stored when accepted
    };
    const std::vector<Case> cases = {
        // Subnet, Modbus Master mode: ranges at both limits, poll delay in steps of ten.
        {Master(), 7, "50", 0, "50"}, {Master(), 7, "60000", 0, "60000"}, {Master(), 7, "49", 8, ""},
        {Master(), 7, "60001", 8, ""}, {Master(), 7, "", 6, ""}, {Master(), 7, "5 00", 7, ""},
        {Master(), 7, "Default Value", 7, ""},   // only a drop-down that offers them keeps these words
        {Master(), 7, "default value", 7, ""}, {Master(), 7, "+500", 7, ""}, {Master(), 7, "-500", 7, ""},
        {Master(), 7, " 500", 7, ""}, {Master(), 7, "50/", 7, ""}, {Master(), 7, "50:", 7, ""},
        {Master(), 7, "50\xB0", 7, ""}, {Master(), 7, "0050", 0, "0050"}, {Master(), 7, "2147483648", 8, ""},
        {Master(), 7, "99999999999999999999999999", 8, ""},
        {Master(), 8, "2345", 0, "2340"}, {Master(), 8, "9", 0, "0"}, {Master(), 8, "2500", 0, "2500"},
        {Master(), 8, "2501", 8, ""}, {Master(), 11, "0", 8, ""}, {Master(), 11, "1", 0, "1"},
        {Master(), 11, "255", 0, "255"}, {Master(), 11, "256", 8, ""},
        // Subnet, User Config mode.
        {User(), 13, "9", 8, ""}, {User(), 13, "10", 0, "10"}, {User(), 13, "60000", 0, "60000"},
        {User(), 13, "60001", 8, ""}, {User(), 14, "0", 8, ""}, {User(), 14, "1", 0, "1"},
        {User(), 14, "166", 0, "166"}, {User(), 14, "167", 8, ""}, {User(), 15, "0", 0, "0"},
        {User(), 15, "255", 0, "255"}, {User(), 15, "256", 8, ""}, {User(), 16, "256", 8, ""},
        {User(), 18, "9", 8, ""}, {User(), 18, "10", 0, "10"}, {User(), 18, "60001", 8, ""},
        // Slave address.
        {Slave(), 0, "247", 0, "247"}, {Slave(), 0, "1", 0, "1"}, {Slave(), 0, "005", 0, "005"},
        {Slave(), 0, "248", 8, ""}, {Slave(), 0, "0", 8, ""}, {Slave(), 0, "1a", 7, ""},
        // Starting address.
        {Cmd(Fc3), 1, "0", 0, "0"}, {Cmd(Fc3), 1, "65535", 0, "65535"}, {Cmd(Fc3), 1, "65536", 8, ""},
        {Cmd(Fc15), 1, "-1", 7, ""},
        // Number of data, RTU: 122 registers, 400 coils and inputs; ASCII: 45 for every function.
        {Cmd(Fc3), 2, "122", 0, "122"}, {Cmd(Fc3), 2, "123", 8, ""}, {Cmd(Fc3), 2, "0", 8, ""},
        {Cmd(Fc4), 2, "123", 8, ""}, {Cmd(Fc16), 2, "123", 8, ""}, {Cmd(Fc1), 2, "400", 0, "400"},
        {Cmd(Fc2), 2, "401", 8, ""}, {Cmd(Fc15), 2, "400", 0, "400"}, {Cmd(Fc15), 2, "401", 8, ""},
        {Cmd(Fc3, "ASCII"), 2, "45", 0, "45"}, {Cmd(Fc3, "ASCII"), 2, "46", 8, ""}, {Cmd(Fc1, "ASCII"), 2, "46", 8, ""},
        {Cmd(Fc15, "ASCII"), 2, "45", 0, "45"}, {Cmd(Fc16, "ASCII"), 2, "46", 8, ""},
        {Cmd(Fc3, "ascii"), 2, "122", 0, "122"},   // exact text only
        // Mapping address: input area for codes 1-4, output area for the others.
        {Cmd(Fc3), 3, "f3h", 0, "F3H"}, {Cmd(Fc1), 3, "1A", 0, "1AH"}, {Cmd(Fc3), 3, "", 0, "H"},
        {Cmd(Fc3), 3, "F4", 8, ""}, {Cmd(Fc3), 3, "40F3", 8, ""}, {Cmd(Fc3), 3, "1G", 7, ""},
        {Cmd(Fc3), 3, "1HH", 7, ""}, {Cmd(Fc3), 3, "0:", 7, ""}, {Cmd(Fc3), 3, "@", 7, ""},   // only the last H is cut
        {Cmd(Fc3), 3, "40F3A", 8, ""}, {Cmd(Fc16), 3, "40f3h", 0, "40F3H"}, {Cmd(Fc15), 3, "4000", 0, "4000H"},
        {Cmd(Fc6), 3, "F3", 8, ""}, {Cmd(Fc16), 3, "40f4h", 8, ""}, {Cmd(Fc16), 3, "3FFF", 8, ""}, {Cmd(Fc16), 3, "", 8, ""},
        // Mapping bit and mnemonic.
        {Cmd(Fc1), 4, "0", 0, "0"}, {Cmd(Fc1), 4, "7", 0, "7"}, {Cmd(Fc2), 4, "8", 8, ""}, {Cmd(Fc5), 4, "", 6, ""},
        {Cmd(Fc3), 9, "pump 3, \"tank\" level", 0, "pump 3, \"tank\" level"},
        // The fieldbus time-out takes its drop-down's word or a number.
        {Bus(), 4, "Default Value", 0, "Default Value"}, {Bus(), 4, "1", 0, "1"}, {Bus(), 4, "60000", 0, "60000"},
        {Bus(), 4, "0", 8, ""}, {Bus(), 4, "60001", 8, ""}, {Bus(), 4, "Customized", 7, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("function " + std::to_string(c.given.function) + " row " + std::to_string(c.row) + " \"" +
                     c.input + "\"");
        Workbench bench(c.given);
        CParamItem* item = gw::RecordItemAt(bench.record, c.row);
        ASSERT_NE(item, nullptr);
        if (c.given.enableFirst)
            item->SetEnable(1);
        const std::string old = item->value;
        std::string normalised = "untouched";   // the check of text boxes, which the fieldbus time-out is not
        if (c.given.target != Given::Bus) {
            EXPECT_EQ(gw::CheckEditText(bench.root, bench.record, c.row, c.input, &normalised), c.code);
            EXPECT_EQ(normalised, c.code == RESULT_OK ? c.stored : "untouched");
        }
        const CommitOutcome outcome = gw::CommitEdit(bench.root, bench.record, c.row, c.input);
        EXPECT_EQ(outcome.refusal, c.code == RESULT_OK ? CommitRefusal::None : CommitRefusal::Check);
        EXPECT_EQ(outcome.code, c.code);
        // The held text committed again stays as it is (an empty mapping address does not become "H").
        EXPECT_EQ(item->value, c.code == RESULT_OK && c.input != old ? c.stored : old);
        EXPECT_EQ(outcome.changed, item->value != old);
        // Only an accepted slave address renames the node.
        EXPECT_EQ(bench.slave->GetName(), outcome.renamed ? "Node(" + c.input + ")" : "Node(1)");
        EXPECT_EQ(outcome.renamed, c.given.target == Given::Slave && c.code == RESULT_OK);
    }
}

TEST(CommitRefusalTest, RowsWithoutAnEditorOrOfTheOtherKind)
{
    using R = CommitRefusal;
    struct Case {
        Given given;
        int row;
        std::string input;
        bool asChoice;
        CommitRefusal refusal;
    };
    for (const Case& c : std::vector<Case>{
        {Master(), -1, "1", false, R::NoItem}, {Master(), 12, "Delimiter", true, R::NoItem},   // a User Config row
        {User(), 20, "1", false, R::NoItem}, {Slave(), 1, "1", false, R::NoItem}, {Cmd(Fc3), 10, "1", false, R::NoItem},
        {Master(), 2, "7", true, R::ReadOnly}, {Master(), 6, "ASCII", true, R::ReadOnly},
        {Master(), 10, "200", false, R::ReadOnly}, {User(false), 14, "20", false, R::ReadOnly},
        {User(false), 18, "20", false, R::ReadOnly}, {Cmd(Fc3), 0, "4", false, R::ReadOnly},
        {Cmd(Fc5), 2, "2", false, R::ReadOnly}, {Cmd(Fc3), 4, "1", false, R::ReadOnly},
        {Cmd(Fc3), 6, "Double-byte-exchange", true, R::ReadOnly}, {Master(), 1, "9600", false, R::WrongEditor},
        {Master(), 7, "500", true, R::WrongEditor}, {Master(), 1, "4800", true, R::NotAChoice},
        {Cmd(Fc3), 8, "Medium Scan", true, R::NotAChoice}}) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " input \"" + c.input + "\"");
        Workbench bench(c.given);
        const std::string before = test_config::ConfigText(bench.root);
        const CommitOutcome outcome = c.asChoice ? gw::CommitChoice(bench.root, bench.record, c.row, c.input)
                                                 : gw::CommitText(bench.root, bench.record, c.row, c.input);
        EXPECT_EQ(outcome.refusal, c.refusal);
        EXPECT_FALSE(outcome.accepted() || outcome.changed);
        EXPECT_EQ(test_config::ConfigText(bench.root), before);
    }
}

TEST(CommitChoiceTest, PickedChoicesOpenAndCloseOtherRowsAndKeepTheirTexts)
{
    Workbench bench(User());
    CDeviceConfig& root = bench.root;
    const TreeRecord bus = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
    ASSERT_TRUE(gw::CommitEdit(root, bus, BUS_ROW_PROBE_TIMEOUT, "500").accepted());
    struct Step {
        TreeRecord record;
        int row;
        std::string picked;
        std::vector<int> rows, enables;   // the rows the choice opens or closes, afterwards
        std::string crc = "Enable";       // "Enable CRC Check" afterwards, "Enable" before
    };
    const std::vector<int> frameRows = {14, 15, 16, 19};   // frame length, delimiters, CRC check
    for (const Step& s : {Step{bench.record, SUBNET_ROW_FRAME_TYPE, "Delimiter", frameRows, {0, 1, 1, 0}, "Disable"},
                          Step{bench.record, SUBNET_ROW_FRAME_TYPE, "Frame Length", frameRows, {1, 0, 0, 1}},
                          Step{bench.record, SUBNET_ROW_FRAME_TYPE, "Time Interval between Characters", frameRows, {0, 0, 0, 1}},
                          Step{bench.record, SUBNET_ROW_AUTO_SEND, "Enable", {SUBNET_ROW_AUTO_SEND_PERIOD}, {1}},
                          Step{bench.record, SUBNET_ROW_AUTO_SEND, "Disable", {SUBNET_ROW_AUTO_SEND_PERIOD}, {0}},
                          Step{bus, BUS_ROW_ADDRESS_MODE, "Set by I/O Port", {BUS_ROW_PROBE_TIMEOUT}, {0}},
                          Step{bus, BUS_ROW_ADDRESS_MODE, "Probe Addr Automatically", {BUS_ROW_PROBE_TIMEOUT}, {1}}}) {
        SCOPED_TRACE(s.picked);
        root.Subnet().GetItemAt(SUBNET_ROW_CRC_CHECK)->value = "Enable";
        if (s.enables[0]) {
            EXPECT_EQ(gw::CommitText(root, s.record, s.rows[0], "250").refusal, CommitRefusal::ReadOnly);
        }
        const CommitOutcome outcome = gw::CommitChoice(root, s.record, s.row, s.picked);
        EXPECT_TRUE(outcome.accepted() && outcome.changed);
        std::vector<int> enables;
        for (int row : s.rows)
            enables.push_back(gw::RecordItemAt(s.record, row)->enable);
        EXPECT_EQ(enables, s.enables);
        EXPECT_EQ(outcome.rowsRestyled, s.rows);
        EXPECT_EQ(root.Subnet().GetItemAt(SUBNET_ROW_CRC_CHECK)->value, s.crc);
        EXPECT_FALSE(gw::CommitChoice(root, s.record, s.row, s.picked).changed);
    }
    EXPECT_EQ(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value, "500");
    EXPECT_EQ(root.Subnet().GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD)->value, "1000");
    EXPECT_EQ(root.Subnet().GetItemAt(SUBNET_ROW_FRAME_LENGTH)->value, "111");
    EXPECT_EQ(root.Subnet().GetItemAt(SUBNET_ROW_CHAR_INTERVAL)->enable, 1);   // never touched
}

TEST(CommitChoiceTest, ProtocolSwitchKeepsSlaveNodesAndBothModeLists)
{
    Workbench bench(Master());
    CSubnetNode& subnet = bench.root.Subnet();
    bench.slave->AddCommand(FUNCTION_READ_HOLDING_REGISTER);
    ASSERT_TRUE(gw::CommitText(bench.root, bench.record, SUBNET_ROW_RESPONSE_TIMEOUT, "500").accepted());
    for (const auto& [protocol, rows, timeout] : {std::tuple{"User Config", 20, "300"}, {"Modbus Master", 12, "500"}}) {
        const CommitOutcome outcome = gw::CommitEdit(bench.root, bench.record, SUBNET_ROW_PROTOCOL, protocol);
        EXPECT_TRUE(outcome.accepted() && outcome.modeSwitched && outcome.changed);
        EXPECT_FALSE(gw::CommitChoice(bench.root, bench.record, SUBNET_ROW_PROTOCOL, protocol).changed);
        EXPECT_EQ(gw::RecordRowCount(bench.record), rows);
        EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, timeout);   // each mode's own list
        EXPECT_EQ(subnet.GetNodeAt(0)->GetCommandCount(), 1);
    }
}

} // namespace
