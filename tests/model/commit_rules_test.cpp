// Committing edits: the value checks of typed texts per record and row, the values they
// store, the rules that picked choices apply to other rows, and the refusal kinds.

#include "model/commit_rules.h"
#include "model/device_config.h"
#include "support/config_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Target { Subnet, Slave, Command };

struct Given {
    Target target = Target::Subnet;
    int mode = MODE_MODBUS_MASTER;
    int function = 2;            // function index of the command under test
    std::string transmission;    // value forced into the subnet's row 6; empty leaves "RTU"
    bool enableFirst = false;    // enable the row first, as a choice rule or a file could
};

// A configuration with one slave node and, for command targets, one command under it.
struct Workbench {
    CDeviceConfig root;
    CSlaveNode* slave = nullptr;
    CModbusCommand* command = nullptr;
    TreeRecord record;

    explicit Workbench(const Given& s)
    {
        slave = root.Subnet().AddNode();
        root.Subnet().SetMode(s.mode);
        if (!s.transmission.empty())
            root.Subnet().GetItemAt(SUBNET_ROW_TRANSMISSION)->value = s.transmission;
        switch (s.target) {
        case Target::Subnet: record = TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()); break;
        case Target::Slave: record = TreeRecord::ForSlave(slave); break;
        case Target::Command:
            command = slave->AddCommand(s.function);
            record = TreeRecord::ForCommand(slave, command);
            break;
        }
    }
};

struct TextCase {
    Given setup;
    int row;
    std::string input;
    ResultCode code;       // 0: accepted, else the refusing check's result code
    std::string stored;    // the value stored when accepted
};

Given Master() { return {Target::Subnet, MODE_MODBUS_MASTER, 2, "", false}; }
Given Slave() { return {Target::Slave, MODE_MODBUS_MASTER, 2, "", false}; }
// User Config mode; the text-box row under test is enabled first unless asked otherwise.
Given User(bool enableFirst = true) { return {Target::Subnet, MODE_USER_CONFIG, 2, "", enableFirst}; }
Given Cmd(int function, std::string transmission = "")
{
    return {Target::Command, MODE_MODBUS_MASTER, function, std::move(transmission), false};
}

TEST(CommitTextTest, ChecksAndStoresTypedValues)
{
    const std::vector<TextCase> cases = {
        // Subnet, Modbus Master mode: ranges at both limits, poll delay in steps of ten.
        {Master(), 7, "50", 0, "50"}, {Master(), 7, "60000", 0, "60000"}, {Master(), 7, "49", 8, ""},
        {Master(), 7, "60001", 8, ""}, {Master(), 7, "", 6, ""}, {Master(), 7, "5 00", 7, ""},
        {Master(), 7, "Default Value", 7, ""},   // only a drop-down that offers them keeps these words
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
        {Cmd(2), 1, "0", 0, "0"}, {Cmd(2), 1, "65535", 0, "65535"}, {Cmd(2), 1, "65536", 8, ""},
        {Cmd(12), 1, "-1", 7, ""},
        // Number of data, RTU: 122 registers, 400 coils and inputs; ASCII: 45 for every function.
        {Cmd(2), 2, "122", 0, "122"}, {Cmd(2), 2, "123", 8, ""}, {Cmd(2), 2, "0", 8, ""},
        {Cmd(3), 2, "123", 8, ""}, {Cmd(13), 2, "123", 8, ""}, {Cmd(0), 2, "400", 0, "400"},
        {Cmd(1), 2, "401", 8, ""}, {Cmd(12), 2, "400", 0, "400"}, {Cmd(12), 2, "401", 8, ""},
        {Cmd(2, "ASCII"), 2, "45", 0, "45"}, {Cmd(2, "ASCII"), 2, "46", 8, ""}, {Cmd(0, "ASCII"), 2, "46", 8, ""},
        {Cmd(12, "ASCII"), 2, "45", 0, "45"}, {Cmd(13, "ASCII"), 2, "46", 8, ""},
        {Cmd(2, "ascii"), 2, "122", 0, "122"},   // exact text only
        // Mapping address: input area for codes 1-4, output area for the others.
        {Cmd(2), 3, "f3h", 0, "F3H"}, {Cmd(0), 3, "1A", 0, "1AH"}, {Cmd(2), 3, "", 0, "H"},
        {Cmd(2), 3, "F4", 8, ""}, {Cmd(2), 3, "40F3", 8, ""}, {Cmd(2), 3, "1G", 7, ""},
        {Cmd(2), 3, "1HH", 7, ""},   // only the last H is cut
        {Cmd(2), 3, "40F3A", 8, ""}, {Cmd(13), 3, "40f3h", 0, "40F3H"}, {Cmd(12), 3, "4000", 0, "4000H"},
        {Cmd(5), 3, "F3", 8, ""}, {Cmd(13), 3, "40f4h", 8, ""}, {Cmd(13), 3, "3FFF", 8, ""}, {Cmd(13), 3, "", 8, ""},
        // Mapping bit and mnemonic.
        {Cmd(0), 4, "0", 0, "0"}, {Cmd(0), 4, "7", 0, "7"}, {Cmd(1), 4, "8", 8, ""}, {Cmd(4), 4, "", 6, ""},
        {Cmd(2), 9, "pump 3, \"tank\" level", 0, "pump 3, \"tank\" level"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE("target " + std::to_string(static_cast<int>(c.setup.target)) + " mode " +
                     std::to_string(c.setup.mode) + " function " + std::to_string(c.setup.function) + " row " +
                     std::to_string(c.row) + " input \"" + c.input + "\"");
        Workbench bench(c.setup);
        CParamItem* item = RecordItemAt(bench.record, c.row);
        ASSERT_NE(item, nullptr);
        if (c.setup.enableFirst)
            item->SetEnable(1);
        const std::string old = item->value;
        const std::string oldName = bench.slave->GetName();

        const CommitOutcome outcome = CommitText(bench.root, bench.record, c.row, c.input);
        if (c.code == RESULT_OK) {
            ASSERT_TRUE(outcome.accepted());
            EXPECT_EQ(outcome.value, c.stored);
            EXPECT_EQ(item->value, c.stored);
            EXPECT_EQ(outcome.changed, old != c.stored);
            EXPECT_FALSE(outcome.modeSwitched);
        } else {
            EXPECT_EQ(outcome.refusal, CommitRefusal::Check);
            EXPECT_EQ(outcome.code, c.code);
            EXPECT_FALSE(outcome.changed);
            EXPECT_EQ(item->value, old);
        }
        // Only an accepted slave address renames, and only the edited node.
        const bool renames = c.setup.target == Target::Slave && c.code == RESULT_OK;
        EXPECT_EQ(outcome.renamed, renames);
        EXPECT_EQ(bench.slave->GetName(), renames ? "Node(" + c.input + ")" : oldName);

        std::string normalised = "untouched";
        EXPECT_EQ(CheckEditText(bench.root, bench.record, c.row, c.input, &normalised), c.code);
        EXPECT_EQ(normalised, c.code == RESULT_OK ? c.stored : "untouched");
    }
}

TEST(CommitTextTest, RenamedSlaveNodeShowsInTheTree)
{
    Workbench bench(Slave());
    ASSERT_TRUE(CommitEdit(bench.root, bench.record, SLAVE_ROW_ADDRESS, "12").accepted());
    EXPECT_EQ(bench.root.BuildTree()[1].children.at(0).text, "Node(12)");
    EXPECT_FALSE(CommitEdit(bench.root, bench.record, SLAVE_ROW_ADDRESS, "12").changed);
}

TEST(CommitRefusalTest, RowsWithoutAnEditorOrOfTheOtherKind)
{
    using R = CommitRefusal;
    struct Case {
        Given setup;
        int row;
        std::string input;
        bool asChoice;
        CommitRefusal refusal;
    };
    const std::vector<Case> cases = {
        {Master(), -1, "1", false, R::NoItem}, {Master(), 12, "Delimiter", true, R::NoItem},   // a User Config row
        {User(), 20, "1", false, R::NoItem}, {Slave(), 1, "1", false, R::NoItem}, {Cmd(2), 10, "1", false, R::NoItem},
        {Master(), 2, "7", true, R::ReadOnly}, {Master(), 6, "ASCII", true, R::ReadOnly},
        {Master(), 10, "200", false, R::ReadOnly}, {User(false), 14, "20", false, R::ReadOnly},
        {User(false), 18, "20", false, R::ReadOnly}, {Cmd(2), 0, "4", false, R::ReadOnly},
        {Cmd(4), 2, "2", false, R::ReadOnly}, {Cmd(2), 4, "1", false, R::ReadOnly},
        {Cmd(2), 6, "Double-byte-exchange", true, R::ReadOnly}, {Master(), 1, "9600", false, R::WrongEditor},
        {Master(), 7, "500", true, R::WrongEditor}, {Master(), 1, "4800", true, R::NotAChoice},
        {Cmd(2), 8, "Medium Scan", true, R::NotAChoice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " input \"" + c.input + "\"");
        Workbench bench(c.setup);
        const std::string before = test_config::ConfigText(bench.root);
        const CommitOutcome outcome = c.asChoice ? CommitChoice(bench.root, bench.record, c.row, c.input)
                                                 : CommitText(bench.root, bench.record, c.row, c.input);
        EXPECT_EQ(outcome.refusal, c.refusal);
        EXPECT_FALSE(outcome.accepted() || outcome.changed);
        EXPECT_EQ(test_config::ConfigText(bench.root), before);
    }
}

bool Restyled(const CommitOutcome& outcome, int row)
{
    return std::find(outcome.rowsRestyled.begin(), outcome.rowsRestyled.end(), row) != outcome.rowsRestyled.end();
}

TEST(CommitChoiceTest, FrameTypeSwitchesFrameRowsAndForcesCrcOff)
{
    struct Case {
        std::string picked;
        std::vector<int> enables;   // rows 14, 15, 16 and 19 afterwards
        std::string crcValue;
    };
    const std::vector<Case> cases = {
        {"Delimiter", {0, 1, 1, 0}, "Disable"},
        {"Frame Length", {1, 0, 0, 1}, "Enable"},
        {"Time Interval between Characters", {0, 0, 0, 1}, "Enable"},
    };
    const std::vector<int> rows = {14, 15, 16, 19};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picked);
        Workbench bench(User());
        CSubnetNode& subnet = bench.root.Subnet();
        for (std::size_t i = 0; i < rows.size(); ++i)
            subnet.GetItemAt(rows[i])->SetEnable(1 - c.enables[i]);   // start from the opposite
        subnet.GetItemAt(SUBNET_ROW_CRC_CHECK)->value = "Enable";

        const CommitOutcome outcome = CommitChoice(bench.root, bench.record, SUBNET_ROW_FRAME_TYPE, c.picked);
        ASSERT_TRUE(outcome.accepted());
        std::vector<int> enables;
        for (int row : rows) {
            enables.push_back(subnet.GetItemAt(row)->enable);
            EXPECT_TRUE(Restyled(outcome, row)) << "row " << row;
        }
        EXPECT_EQ(enables, c.enables);
        EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_CRC_CHECK)->value, c.crcValue);
        EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_CHAR_INTERVAL)->enable, 1);   // never touched
    }
}

TEST(CommitChoiceTest, OnOffChoicesOpenAndCloseTheirRowAndKeepItsText)
{
    // Auto sending opens its period; the fieldbus address mode "Set by I/O Port" greys the time-out.
    Workbench bench(User());
    CDeviceConfig& root = bench.root;
    const TreeRecord bus = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
    struct Step {
        TreeRecord record;
        int row;
        std::string picked;
        int dependent;
        int enable;
    };
    ASSERT_TRUE(CommitEdit(root, bus, BUS_ROW_PROBE_TIMEOUT, "500").accepted());
    for (const Step& s : {Step{bench.record, SUBNET_ROW_AUTO_SEND, "Enable", SUBNET_ROW_AUTO_SEND_PERIOD, 1},
                          Step{bench.record, SUBNET_ROW_AUTO_SEND, "Disable", SUBNET_ROW_AUTO_SEND_PERIOD, 0},
                          Step{bus, BUS_ROW_ADDRESS_MODE, "Set by I/O Port", BUS_ROW_PROBE_TIMEOUT, 0},
                          Step{bus, BUS_ROW_ADDRESS_MODE, "Probe Addr Automatically", BUS_ROW_PROBE_TIMEOUT, 1}}) {
        SCOPED_TRACE(s.picked);
        if (s.enable) {
            EXPECT_EQ(CommitText(root, s.record, s.dependent, "250").refusal, CommitRefusal::ReadOnly);
        }
        const CommitOutcome outcome = CommitChoice(root, s.record, s.row, s.picked);
        EXPECT_TRUE(outcome.accepted() && outcome.changed);
        EXPECT_EQ(RecordItemAt(s.record, s.dependent)->enable, s.enable);
        EXPECT_EQ(outcome.rowsRestyled, std::vector<int>{s.dependent});
        EXPECT_FALSE(CommitChoice(root, s.record, s.row, s.picked).changed);
    }
    EXPECT_EQ(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value, "500");
    EXPECT_EQ(root.Subnet().GetItemAt(SUBNET_ROW_AUTO_SEND_PERIOD)->value, "1000");
}

TEST(CommitChoiceTest, FieldbusTimeoutTakesAChoiceOrANumber)
{
    const std::vector<std::pair<std::string, ResultCode>> cases = {
        {"60000", RESULT_OK}, {"1", RESULT_OK}, {"Default Value", RESULT_OK},
        {"60001", RESULT_OUT_OF_RANGE}, {"0", RESULT_OUT_OF_RANGE}, {"", RESULT_EMPTY_ITEM},
        {"12a", RESULT_ILLEGAL_CHAR}, {"Customized", RESULT_ILLEGAL_CHAR},
    };
    for (const auto& [text, code] : cases) {
        SCOPED_TRACE("\"" + text + "\"");
        CDeviceConfig root;
        const TreeRecord bus = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
        root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value = "700";
        const CommitOutcome outcome = CommitEdit(root, bus, BUS_ROW_PROBE_TIMEOUT, text);
        EXPECT_EQ(outcome.code, code);
        EXPECT_EQ(root.Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value, code == RESULT_OK ? text : "700");
    }
}

TEST(CommitChoiceTest, ProtocolSwitchKeepsSlaveNodesAndBothModeLists)
{
    Workbench bench(Master());
    CSubnetNode& subnet = bench.root.Subnet();
    bench.slave->AddCommand(2);
    ASSERT_TRUE(CommitText(bench.root, bench.record, SUBNET_ROW_RESPONSE_TIMEOUT, "500").accepted());

    const CommitOutcome toUser = CommitChoice(bench.root, bench.record, SUBNET_ROW_PROTOCOL, "User Config");
    EXPECT_TRUE(toUser.accepted() && toUser.modeSwitched && toUser.changed);
    EXPECT_EQ(subnet.GetMode(), MODE_USER_CONFIG);
    EXPECT_EQ(RecordRowCount(bench.record), 20);
    EXPECT_EQ(subnet.GetNodeCount(), 1);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, "300");   // the User Config list's own
    const CommitOutcome again = CommitChoice(bench.root, bench.record, SUBNET_ROW_PROTOCOL, "User Config");
    EXPECT_FALSE(again.modeSwitched || again.changed);

    const CommitOutcome back = CommitEdit(bench.root, bench.record, SUBNET_ROW_PROTOCOL, "Modbus Master");
    EXPECT_TRUE(back.accepted() && back.modeSwitched && back.changed);
    EXPECT_EQ(RecordRowCount(bench.record), 12);
    EXPECT_EQ(subnet.GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value, "500");
    EXPECT_EQ(bench.root.BuildTree()[1].children.at(0).children.size(), 1u);
}

} // namespace
