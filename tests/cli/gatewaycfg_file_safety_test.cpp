// Files a careless editor, a hostile sender or a killed program leaves: refused with their line,
// read as meant, or replaced so that nothing is lost, links included.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <random>

#include "cli_process.h"

using namespace cli_test;

namespace {

const std::string kTimeout = "Response Timeout(50~60000ms)";

int LineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliHostileFile, RefusedWith65NamingTheLine)
{
    struct Row {
        const char* name;
        std::function<std::string(const std::string& good)> make;
        std::function<int(const std::string& made)> line;
        std::string says;
    };
    const std::string header = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n";
    const std::size_t limit = 16u << 20;
    const std::vector<Row> rows = {
        {"nested 50,000 levels deep",
         [&](const std::string&) {
             std::string deep = header + "<Nordaq Value=\"Nordaq\">\n";
             for (int i = 0; i < 50000; ++i)
                 deep += "<a>";
             for (int i = 0; i < 50000; ++i)
                 deep += "</a>";
             return deep + "\n</Nordaq>\n";
         },
         [](const std::string&) { return 3; }, "levels deep"},
        {"larger than 16 MB",
         [&](const std::string& good) {
             const std::string padding(99, ' ');
             std::string big = good.substr(0, good.rfind("</Nordaq>"));
             while (big.size() <= limit)
                 big += padding + "\n";
             return big + "</Nordaq>\n";
         },
         [&](const std::string& made) { return LineCount(made.substr(0, limit)) + 1; }, "16 MB"},
        {"cut off", [](const std::string& good) { return good.substr(0, good.size() / 2); },
         [](const std::string& made) { return LineCount(made) + 1; }, "cut off"},
        {"another element after the root", [](const std::string& good) { return good + "<Nordaq>\n"; },
         [](const std::string& made) { return LineCount(made); }, "after the end"},
        {"text after the root", [](const std::string& good) { return good + "\n\ngarbage"; },
         [](const std::string& made) { return LineCount(made) + 1; }, "after the end"},
    };
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "good.xml"}).status, 0);
    const std::string good = ws.Read("good.xml");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string made = row.make(good);
        WriteAll(ws / "plant.xml", made);
        const ProgramRun run = ws.Gatewaycfg({"show", "plant.xml"});
        EXPECT_EQ(run.status, 65);
        EXPECT_NE(run.err.find("plant.xml, line " + std::to_string(row.line(made)) + ": "), std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
    }
}

// A text editor saves as UTF-8 with a byte-order mark and leaves the "gb2312" declaration.
TEST(CliHostileFile, ByteOrderMarkFileIsReadAsUtf8AndSavedAsGb2312)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "3"}).status, 0);
    ASSERT_EQ(ws.Gatewaycfg({"set", "plant.xml", "command:1", "Mnemonic", "pump"}).status, 0);
    std::string text = ws.Read("plant.xml");
    text.replace(text.find("Value=\"pump\""), 12, "Value=\"泵站\"");
    WriteAll(ws / "plant.xml", "\xEF\xBB\xBF" + text);

    const ProgramRun shown = ws.Gatewaycfg({"show", "plant.xml"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Mnemonic = 泵站"), std::string::npos) << shown.out;
    ASSERT_EQ(ws.Gatewaycfg({"set", "plant.xml", "subnet", kTimeout, "500"}).status, 0);
    const std::string saved = ws.Read("plant.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n", 0), 0u);
    EXPECT_NE(saved.find("Value=\"\xB1\xC3\xD5\xBE\""), std::string::npos);   // GB2312 bytes
}

// Saving through a symbolic link writes the file it leads to; the link stays a link.
TEST(CliLinks, SavesGoThroughLinksToTheirTargets)
{
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* target;   // in the folder "real"
        int status;
    };
    const std::vector<Row> rows = {
        {"set through a link", {"set", "link.xml", "subnet", kTimeout, "500"}, "plant.xml", 0},
        {"set through a chain of links", {"set", "chain.xml", "subnet", kTimeout, "500"}, "plant.xml", 0},
        {"new --force through a link", {"new", "link.xml", "--force"}, "plant.xml", 0},
        {"new through a dangling link", {"new", "dangling.xml"}, "new.xml", 0},
        {"export through a link", {"export", "link.xml", "book-link.xlsx"}, "book.xlsx", 0},
        {"new through a link into a missing folder", {"new", "nowhere.xml"}, "", 74},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Workspace ws;
        fs::create_directory(ws / "real");
        ASSERT_EQ(ws.Gatewaycfg({"new", "real/plant.xml"}).status, 0);
        ASSERT_EQ(ws.Gatewaycfg({"set", "real/plant.xml", "subnet", kTimeout, "600"}).status, 0);
        WriteAll(ws / "real/book.xlsx", "old workbook");
        ::chmod((ws / "real/plant.xml").c_str(), 0640);
        const std::vector<std::pair<const char*, const char*>> links = {
            {"link.xml", "real/plant.xml"}, {"chain.xml", "link.xml"}, {"dangling.xml", "real/new.xml"},
            {"book-link.xlsx", "real/book.xlsx"}, {"nowhere.xml", "missing/plant.xml"}};
        for (const auto& [link, to] : links)
            fs::create_symlink(to, ws / link);
        const std::string before = ws.Read("real/plant.xml");

        const ProgramRun run = ws.Gatewaycfg(row.args);
        EXPECT_EQ(run.status, row.status) << run.err;
        for (const auto& [link, to] : links) {
            EXPECT_TRUE(fs::is_symlink(ws / link)) << link;
            EXPECT_EQ(fs::read_symlink(ws / link), to);
        }
        if (row.status != 0) {
            EXPECT_NE(run.err.find("missing/plant.xml"), std::string::npos) << run.err;
            EXPECT_FALSE(fs::exists(ws / "missing"));
            continue;
        }
        const std::string target = ws.Read(std::string("real/") + row.target);
        EXPECT_NE(target, before);
        EXPECT_NE(target, "old workbook");
        EXPECT_EQ(fs::status(ws / "real/plant.xml").permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        for (const auto& entry : fs::directory_iterator(ws / "real"))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
}

// Saves killed at any moment leave the file whole; the next save leaves no temporary behind,
// not even one that an older version of the program left.
TEST(CliKilledSaves, NoTemporaryOutlivesTheNextSave)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(ws.Gatewaycfg({"set", "plant.xml", "subnet", kTimeout, "400"}).status, 0);
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    WriteAll(ws / ".plant.xml.Ab12Cd", ws.Read("plant.xml"));
    std::mt19937 random(13);
    std::uniform_int_distribution<long> moment(0, runTime.count());
    for (int i = 0; i < 40; ++i) {
        RunOptions options;
        options.killAfterMicroseconds = moment(random);
        ws.Gatewaycfg({"set", "plant.xml", "subnet", kTimeout, std::to_string(500 + i)}, options);
    }
    const ProgramRun next = ws.Gatewaycfg({"set", "plant.xml", "subnet", kTimeout, "700"});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(ws.Names(), std::vector<std::string>{"plant.xml"});
}

} // namespace
