#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "file/config_file.h"
#include "file/gateway_doc.h"
#include "model/commit_rules.h"
#include "model/device_config.h"
#include "model/edit_actions.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir()
    {
        path_ = fs::temp_directory_path() /
                ("gw-file-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void ExpectSameItems(const ItemList& a, const ItemList& b, const std::string& where)
{
    ASSERT_EQ(a.size(), b.size()) << where;
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(where + " item " + std::to_string(i));
        EXPECT_EQ(a[i]->label, b[i]->label);
        EXPECT_EQ(a[i]->help, b[i]->help);
        EXPECT_EQ(a[i]->value, b[i]->value);
        EXPECT_EQ(a[i]->state, b[i]->state);
        EXPECT_EQ(a[i]->enable, b[i]->enable);
        EXPECT_EQ(a[i]->choices, b[i]->choices);
    }
}

void ExpectSameConfig(const CDeviceConfig& a, const CDeviceConfig& b)
{
    EXPECT_EQ(a.Subnet().GetMode(), b.Subnet().GetMode());
    ExpectSameItems(a.Subnet().Items(), b.Subnet().Items(), "subnet base");
    ExpectSameItems(a.Subnet().MasterModeItems(), b.Subnet().MasterModeItems(), "master");
    ExpectSameItems(a.Subnet().CommonModeItems(), b.Subnet().CommonModeItems(), "common");
    ExpectSameItems(a.Bus().Items(), b.Bus().Items(), "fieldbus");
    ASSERT_EQ(a.Subnet().GetNodeCount(), b.Subnet().GetNodeCount());
    for (int s = 0; s < a.Subnet().GetNodeCount(); ++s) {
        const CSlaveNode& sa = *a.Subnet().GetNodeAt(s);
        const CSlaveNode& sb = *b.Subnet().GetNodeAt(s);
        EXPECT_EQ(sa.GetName(), sb.GetName());
        ExpectSameItems(sa.Items(), sb.Items(), "slave");
        ASSERT_EQ(sa.GetCommandCount(), sb.GetCommandCount());
        for (int c = 0; c < sa.GetCommandCount(); ++c) {
            EXPECT_EQ(sa.GetCommandAt(c)->GetName(), sb.GetCommandAt(c)->GetName());
            EXPECT_EQ(sa.GetCommandAt(c)->GetCommandType(), sb.GetCommandAt(c)->GetCommandType());
            ExpectSameItems(sa.GetCommandAt(c)->Items(), sb.GetCommandAt(c)->Items(), "command");
        }
    }
}

// A configuration with edits in every node, a slave node and three commands.
void MakeEdited(CDeviceConfig& root, int mode)
{
    const TreeRecord subnet = TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet());
    ASSERT_TRUE(CommitEdit(root, subnet, SUBNET_ROW_RESPONSE_TIMEOUT, "500").accepted());
    CSlaveNode* slave = AddSlaveNode(root, subnet);
    ASSERT_NE(slave, nullptr);
    ASSERT_TRUE(CommitEdit(root, TreeRecord::ForSlave(slave), 0, "12").accepted());
    for (int index : {0, 2, 13}) {
        CModbusCommand* command = AddCommandTo(slave, index).command;
        ASSERT_NE(command, nullptr);
        const TreeRecord rec = TreeRecord::ForCommand(slave, command);
        ASSERT_TRUE(CommitEdit(root, rec, CMD_ROW_START_ADDRESS, "100").accepted());
        ASSERT_TRUE(CommitEdit(root, rec, CMD_ROW_DATA_COUNT, "4").accepted());
        ASSERT_TRUE(CommitEdit(root, rec, CMD_ROW_MNEMONIC, "pump <1> & \"valve\"\r\nline two").accepted());
    }
    const TreeRecord bus = TreeRecord::ForNode(RECORD_FIELDBUS, &root.Bus());
    ASSERT_TRUE(CommitEdit(root, bus, BUS_ROW_ADDRESS_MODE, "Set by I/O Port").accepted());
    if (mode == MODE_USER_CONFIG) {
        ASSERT_TRUE(CommitEdit(root, subnet, SUBNET_ROW_PROTOCOL, "User Config").accepted());
        ASSERT_TRUE(CommitEdit(root, subnet, SUBNET_ROW_FRAME_TYPE, "Delimiter").accepted());
        ASSERT_TRUE(CommitEdit(root, subnet, SUBNET_ROW_START_DELIMITER, "2").accepted());
    }
}

} // namespace

TEST(ConfigFileRoundTrip, BothModesComeBackWhole)
{
    for (int mode : {MODE_MODBUS_MASTER, MODE_USER_CONFIG}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        TempDir dir;
        CDeviceConfig saved;
        MakeEdited(saved, mode);
        ASSERT_TRUE(SaveFile(saved, dir / "a.xml").ok);
        CDeviceConfig loaded;
        const FileResult result = LoadFile(loaded, dir / "a.xml");
        ASSERT_TRUE(result.ok) << result.message;
        ExpectSameConfig(saved, loaded);
        EXPECT_EQ(loaded.Subnet().GetDataBits(), 0);   // "Data Bits" keeps its choices
    }
}

TEST(ConfigFileRoundTrip, LayoutAndEscapes)
{
    TempDir dir;
    CDeviceConfig config;
    ASSERT_TRUE(SaveFile(config, dir / "a.xml").ok);
    const std::string text = ReadAll(dir / "a.xml");
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Nordaq Value=\"Nordaq\">\n", 0), 0u);
    EXPECT_NE(text.find("\n    <Product Value=\"Product\">\n        <ProductName Value=\"Kaliq\" />\n"
                        "        <Language Value=\"English\" />\n"),
              std::string::npos);
    EXPECT_NE(text.find("slave&apos;s response for max time which is in ms. &#x0D;&#x0A;(Range:50~6000ms)"),
              std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(ConfigFileRoundTrip, ChineseTextIsWrittenAsGbkAndReadBack)
{
    TempDir dir;
    CDeviceConfig config;
    CSlaveNode* slave = AddSlaveNode(config, TreeRecord::ForNode(RECORD_SUBNET, &config.Subnet()));
    CModbusCommand* command = AddCommandTo(slave, 2).command;
    command->GetItemAt(CMD_ROW_MNEMONIC)->value = "泵站一号";
    ASSERT_TRUE(SaveFile(config, dir / "zh.xml").ok);
    EXPECT_NE(ReadAll(dir / "zh.xml").find("\xB1\xC3\xD5\xBE\xD2\xBB\xBA\xC5"), std::string::npos);
    CDeviceConfig loaded;
    ASSERT_TRUE(LoadFile(loaded, dir / "zh.xml").ok);
    EXPECT_EQ(loaded.Subnet().GetNodeAt(0)->GetCommandAt(0)->GetItemAt(CMD_ROW_MNEMONIC)->value, "泵站一号");
}

TEST(ConfigFileRoundTrip, TextGbkCannotHoldFailsTheSaveAndKeepsTheOldFile)
{
    TempDir dir;
    CDeviceConfig config;
    ASSERT_TRUE(SaveFile(config, dir / "a.xml").ok);
    const std::string before = ReadAll(dir / "a.xml");
    config.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "\xF0\x9F\x98\x80";
    const FileResult result = SaveFile(config, dir / "a.xml");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("a.xml"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "a.xml"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ConfigFileRoundTrip, SaveIntoAMissingFolderFailsWithThePath)
{
    TempDir dir;
    CDeviceConfig config;
    const FileResult result = SaveFile(config, dir / "no/such/folder/a.xml");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("no/such/folder/a.xml"), std::string::npos);
}

TEST(ConfigFileRead, LanguageCheckAndPositionalRules)
{
    TempDir dir;
    CDeviceConfig original;
    MakeEdited(original, MODE_MODBUS_MASTER);
    ASSERT_TRUE(SaveFile(original, dir / "a.xml").ok);
    const std::string text = ReadAll(dir / "a.xml");
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    struct Case {
        const char* name;
        std::string content;
        bool ok;
    };
    const std::vector<Case> cases = {
        {"as written", text, true},
        {"other root name", [&] {
             std::string t = replaced("<Nordaq Value=\"Nordaq\">", "<Root Value=\"Nordaq\">");
             return t.replace(t.rfind("</Nordaq>"), 9, "</Root>");
         }(), true},
        {"other language word", replaced("Value=\"English\"", "Value=\"Klingon\""), true},
        {"empty language", replaced("Value=\"English\"", "Value=\"\""), true},
        {"Chinese file", replaced("Value=\"English\"", "Value=\"Chinese\""), false},
        {"Profilebus", replaced("<PROFIBUS Value=\"PROFIBUS\">", "<PROFIBUS Value=\"Profilebus\">"), true},
        {"CR LF line ends", [&] {
             std::string t;
             for (char c : text) t += c == '\n' ? std::string("\r\n") : std::string(1, c);
             return t;
         }(), true},
        {"lone CR line ends", [&] {
             std::string t = text;
             for (char& c : t) if (c == '\n') c = '\r';
             return t;
         }(), true},
        {"cut in half", text.substr(0, text.size() / 2), false},
        {"no Subnet", replaced("<Subnet Value=\"Subnet\">", "<Subnet Value=\"Subnets\">"), false},
        {"no PROFIBUS", replaced("<PROFIBUS Value=\"PROFIBUS\">", "<PROFIBUS Value=\"Bus\">"), false},
        {"bad state", replaced("<State Value=\"2\" />", "<State Value=\"two\" />"), false},
        {"unsupported command type", replaced("<CommandType Value=\"2\" />", "<CommandType Value=\"6\" />"), false},
        {"empty file", "", false},
        {"junk", std::string("\x01\x02\xFF\xFE<<>>", 8), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(dir / "b.xml", c.content);
        CDeviceConfig target;
        MakeEdited(target, MODE_USER_CONFIG);
        const FileResult result = LoadFile(target, dir / "b.xml");
        EXPECT_EQ(result.ok, c.ok) << result.message;
        if (c.ok) {
            EXPECT_EQ(target.Subnet().GetNodeCount(), 1);
            EXPECT_EQ(target.Subnet().GetNodeAt(0)->GetCommandCount(), 3);
        } else {
            EXPECT_FALSE(result.message.empty());
            EXPECT_EQ(target.Subnet().GetMode(), MODE_USER_CONFIG);   // the open configuration stays
        }
    }
}

namespace {

struct ScriptedUi : CDocumentUi {
    std::vector<Answer> answers;
    std::optional<std::string> savePath;
    int asked = 0;
    std::vector<std::string> messages;
    std::string title;

    Answer AskSaveChanges(const std::string& question) override
    {
        EXPECT_EQ(question, "Configuration has been changed, save it or not?");
        return answers.at(static_cast<std::size_t>(asked++));
    }
    std::optional<std::string> AskSavePath() override { return savePath; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void SetTitle(const std::string& t) override { title = t; }
    void ConfigurationReplaced() override {}
};

} // namespace

TEST(GatewayDoc, SavePromptOnNewAndOpen)
{
    using A = CDocumentUi::Answer;
    TempDir dir;
    CDeviceConfig root;
    bool modified = false;
    ScriptedUi ui;
    CGatewayDoc doc(root, modified, ui);
    doc.StartUp(std::nullopt);
    EXPECT_EQ(ui.title, "Embedded Module Configuration Software Orvel");
    EXPECT_EQ(ui.asked, 0);

    root.Subnet().AddNode();
    modified = true;
    ui.answers = {A::Cancel, A::Yes, A::No};
    EXPECT_FALSE(doc.OnNewDocument());               // Cancel keeps everything
    EXPECT_EQ(root.Subnet().GetNodeCount(), 1);
    ui.savePath = std::nullopt;
    EXPECT_FALSE(doc.OnNewDocument());               // Yes, then a cancelled save dialog
    EXPECT_TRUE(modified);
    EXPECT_EQ(root.Subnet().GetNodeCount(), 1);
    EXPECT_TRUE(doc.OnNewDocument());                // No discards
    EXPECT_EQ(root.Subnet().GetNodeCount(), 0);
    EXPECT_EQ(root.Subnet().GetItemAt(SUBNET_ROW_OUTPUT_MODE)->value, "Cyclic");

    modified = true;
    ui.asked = 0;
    ui.answers = {A::Yes};
    ui.savePath = dir / "conf";
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(fs::exists(dir / "conf.xml"));

    root.Subnet().AddNode();
    ASSERT_TRUE(doc.OnSaveDocument(dir / "one.xml"));
    EXPECT_EQ(ui.title, dir / "one.xml");
    EXPECT_FALSE(modified);

    WriteAll(dir / "bad.xml", "<Nordaq Value=\"Nordaq\"><Product");
    modified = true;
    ui.asked = 0;
    ui.answers = {A::No};
    EXPECT_FALSE(doc.OnOpenDocument(dir / "bad.xml"));
    EXPECT_EQ(ui.asked, 1);                          // Open asks as New does
    EXPECT_EQ(doc.GetPathName(), dir / "one.xml");
    EXPECT_TRUE(modified);
    EXPECT_EQ(root.Subnet().GetNodeCount(), 1);
    EXPECT_EQ(ui.messages.size(), 1u);
}
