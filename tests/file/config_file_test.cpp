// The configuration file: the bytes it is written as, what comes back from reading it, the files
// it refuses without touching the open configuration, and the document's save prompt.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file/config_file.h"
#include "file/gateway_doc.h"
#include "model/device_config.h"
#include "support/config_builder.h"
#include "support/scratch_folder.h"

// Every fsync of this program goes through here, so that a test can see what was flushed.
static std::vector<ino_t> g_flushed;
extern "C" int fsync(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        g_flushed.push_back(st.st_ino);
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

using test_config::ConfigText;

// Non-default values everywhere, texts that need escaping or GBK, and fields reading "Combo",
// which must not be taken for the "Combo" element of the choices that follows them.
std::unique_ptr<CDeviceConfig> Edited(int mode)
{
    auto root = test_config::MakeFilledConfig(mode, mode == MODE_MODBUS_MASTER ? 9 : -1);
    root->Subnet().SetMode(MODE_MODBUS_MASTER);   // a User Config file keeps its slave node too
    root->Subnet().GetItemAt(SUBNET_ROW_BAUD_RATE)->help = "Combo";
    root->Subnet().GetItemAt(SUBNET_ROW_DATA_BITS)->value = "Combo";
    root->Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->help = "Combo";
    root->Bus().GetItemAt(BUS_ROW_PROBE_TIMEOUT)->value = "Combo";
    CSlaveNode& slave = test_config::SlaveOf(*root, 12);
    CModbusCommand* command = test_config::AddCommand(slave, {3, "100", "4", "0050H"});
    command->GetItemAt(CMD_ROW_MNEMONIC)->value = "pump <1> & \"valve\"\r\n\xE6\xB3\xB5\xE7\xAB\x99";   // 泵站
    command->GetItemAt(CMD_ROW_BYTE_SWAP)->value = "Combo";
    root->Subnet().SetMode(mode);
    return root;
}

TEST(ConfigFile, WrittenAsGbkXmlAndReadBackWhole)
{
    for (int mode : {MODE_MODBUS_MASTER, MODE_USER_CONFIG}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        ScratchFolder dir;
        auto saved = Edited(mode);
        ASSERT_TRUE(gw::SaveFile(*saved, dir / "a.xml").ok);
        const std::string bytes = dir.Read("a.xml");
        EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Nordaq Value=\"Nordaq\">\n", 0), 0u);
        for (const char* part : {"\n    <Product Value=\"Product\">\n        <ProductName Value=\"Kaliq\" />\n"
                                 "        <Language Value=\"English\" />\n",
                                 "slave&apos;s response for max time which is in ms. &#x0D;&#x0A;(Range:50~6000ms)",
                                 "pump &lt;1&gt; &amp; &quot;valve&quot;&#x0D;&#x0A;\xB1\xC3\xD5\xBE"})
            EXPECT_NE(bytes.find(part), std::string::npos) << part;
        EXPECT_EQ(bytes.find('\r'), std::string::npos);
        for (int pass = 0; pass < 2; ++pass) {   // read, write again, read again
            CDeviceConfig loaded;
            const FileResult result = gw::LoadFile(loaded, dir / "a.xml");
            ASSERT_TRUE(result.ok) << result.message;
            EXPECT_EQ(ConfigText(loaded), ConfigText(*saved));
            ASSERT_TRUE(gw::SaveFile(loaded, dir / "a.xml").ok);
        }
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.xml"});
    }
}

TEST(ConfigFile, SaveIsFlushedAndAFailedSaveKeepsTheOldFile)
{
    ScratchFolder dir;
    CDeviceConfig config;
    g_flushed.clear();
    ASSERT_TRUE(gw::SaveFile(config, dir / "a.xml").ok);
    struct stat file {}, folder {};
    ASSERT_EQ(::stat((dir / "a.xml").c_str(), &file), 0);
    ASSERT_EQ(::stat(dir.Path().c_str(), &folder), 0);
    EXPECT_NE(std::find(g_flushed.begin(), g_flushed.end(), file.st_ino), g_flushed.end());
    EXPECT_NE(std::find(g_flushed.begin(), g_flushed.end(), folder.st_ino), g_flushed.end());

    const std::string before = dir.Read("a.xml");
    config.Subnet().GetItemAt(SUBNET_ROW_RESPONSE_TIMEOUT)->value = "\xF0\x9F\x98\x80";   // no GBK for it
    for (const std::string& name : {std::string("a.xml"), std::string("no/such/folder/a.xml")}) {
        const FileResult result = gw::SaveFile(config, dir / name);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(dir / name), std::string::npos) << result.message;
    }
    EXPECT_EQ(dir.Read("a.xml"), before);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.xml"});
}

TEST(ConfigFile, ReadingIsLenientWhereFilesDifferAndRefusesTheRestCleanly)
{
    ScratchFolder dir;
    ASSERT_TRUE(gw::SaveFile(*Edited(MODE_MODBUS_MASTER), dir / "a.xml").ok);
    const std::string text = dir.Read("a.xml");
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? t : t.replace(at, from.size(), to);
    };
    auto nested = [&](int levels) {   // the root element is the first level
        std::string open, close;
        for (int i = 1; i < levels; ++i) {
            open += "<a>";
            close += "</a>";
        }
        return replaced("<Nordaq Value=\"Nordaq\">\n", "<Nordaq Value=\"Nordaq\">\n" + open + close);
    };
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    struct Case {
        const char* name;
        std::string content;
        bool ok;
    };
    const std::vector<Case> cases = {
        {"other root name", [&] {
             std::string t = replaced("<Nordaq Value=\"Nordaq\">", "<Root Value=\"Nordaq\">");
             return t.replace(t.rfind("</Nordaq>"), 9, "</Root>");
         }(), true},
        {"other language word", replaced("Value=\"English\"", "Value=\"Klingon\""), true},
        {"Profilebus", replaced("<PROFIBUS Value=\"PROFIBUS\">", "<PROFIBUS Value=\"Profilebus\">"), true},
        {"CR LF line ends", crlf, true},
        {"32 levels deep", nested(32), true},
        {"33 levels deep", nested(33), false},
        {"Chinese file", replaced("Value=\"English\"", "Value=\"Chinese\""), false},
        {"no Subnet", replaced("<Subnet Value=\"Subnet\">", "<Subnet Value=\"Subnets\">"), false},
        {"bad state", replaced("<State Value=\"2\" />", "<State Value=\"two\" />"), false},
        {"unsupported command type", replaced("<CommandType Value=\"2\" />", "<CommandType Value=\"6\" />"), false},
        {"empty file", "", false},   // files cut short or holding junk are in the fuzz corpus
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("b.xml", c.content);
        auto target = test_config::MakeFilledConfig(MODE_USER_CONFIG, 0);
        const std::string before = ConfigText(*target);
        const FileResult result = gw::LoadFile(*target, dir / "b.xml");
        EXPECT_EQ(result.ok, c.ok) << result.message;
        if (c.ok) {
            EXPECT_EQ(target->Subnet().GetNodeAt(0)->GetCommandCount(), 10);
        } else {
            EXPECT_NE(result.message.find(result.languageMismatch ? "Language" : "b.xml"), std::string::npos)
                << result.message;
            EXPECT_EQ(ConfigText(*target), before);   // the open configuration stays
        }
    }
}

struct ScriptedUi : CDocumentUi {
    std::vector<Answer> answers;
    std::optional<std::string> savePath;
    std::size_t asked = 0;
    std::vector<std::string> messages;
    std::string title;

    Answer AskSaveChanges(const std::string&) override { return answers.at(asked++); }
    std::optional<std::string> AskSavePath() override { return savePath; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void SetTitle(const std::string& t) override { title = t; }
    void ConfigurationReplaced() override {}
};

TEST(GatewayDoc, SavePromptOnNewAndOpenLosesNothing)
{
    using A = CDocumentUi::Answer;
    ScratchFolder dir;
    CDeviceConfig root;
    bool modified = false;
    ScriptedUi ui;
    CGatewayDoc doc(root, modified, ui);
    doc.StartUp(std::nullopt);
    root.Subnet().AddNode();
    modified = true;
    ui.answers = {A::Cancel, A::Yes, A::No, A::Yes, A::No};
    EXPECT_FALSE(doc.OnNewDocument());   // Cancel keeps everything
    EXPECT_FALSE(doc.OnNewDocument());   // Yes, then a cancelled save dialog
    EXPECT_TRUE(modified);
    EXPECT_EQ(root.Subnet().GetNodeCount(), 1);
    EXPECT_TRUE(doc.OnNewDocument());    // No discards
    EXPECT_EQ(root.Subnet().GetNodeCount(), 0);

    modified = true;
    ui.savePath = dir / "conf";
    ASSERT_TRUE(doc.OnNewDocument());    // Yes saves, with the extension added
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"conf.xml"});
    root.Subnet().AddNode();
    ASSERT_TRUE(doc.OnSaveDocument(dir / "one.xml"));
    EXPECT_EQ(ui.title, dir / "one.xml");
    EXPECT_FALSE(modified);

    dir.Write("bad.xml", "<Nordaq Value=\"Nordaq\"><Product");
    modified = true;
    EXPECT_FALSE(doc.OnOpenDocument(dir / "bad.xml"));
    EXPECT_EQ(ui.asked, 5u);   // Open asks as New does
    EXPECT_EQ(doc.GetPathName(), dir / "one.xml");
    EXPECT_TRUE(modified);
    EXPECT_EQ(root.Subnet().GetNodeCount(), 1);
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
