// gatewaycfg as a user runs it: new, bad usage, files that cannot be read and files that cannot
// be written. Every refusal must name the file, exit with its own status and leave what was on
// disk as it was.

#include <gtest/gtest.h>

#include <functional>

#include "cli_process.h"

using namespace cli_test;

namespace {

TEST(CliNew, WritesADefaultConfigurationAndRefusesToOverwriteIt)
{
    Workspace ws;
    const ProgramRun created = ws.Gatewaycfg({"new", "plant.xml"});
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.err, "");
    const std::string fresh = ws.Read("plant.xml");
    EXPECT_EQ(fresh.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Nordaq Value=\"Nordaq\">\n", 0), 0u);

    // An edited file is kept unless --force is given.
    ASSERT_EQ(ws.Gatewaycfg({"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)", "500"}).status, 0);
    const std::string edited = ws.Read("plant.xml");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"new", "plant.xml"},
                                                 std::vector<std::string>{"new", "./plant.xml"}}) {
        const ProgramRun refused = ws.Gatewaycfg(args);
        EXPECT_EQ(refused.status, 64);
        EXPECT_NE(refused.err.find("plant.xml"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
        EXPECT_EQ(ws.Read("plant.xml"), edited);
    }

    for (const char* force : {"--force", "-f"}) {
        SCOPED_TRACE(force);
        ASSERT_EQ(ws.Gatewaycfg({"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)", "600"}).status, 0);
        const ProgramRun replaced = ws.Gatewaycfg({"new", "plant.xml", force});
        EXPECT_EQ(replaced.status, 0) << replaced.err;
        const ProgramRun shown = ws.Gatewaycfg({"show", "plant.xml"});
        EXPECT_NE(shown.out.find("\n  Response Timeout(50~60000ms) = 300\n"), std::string::npos) << shown.out;
    }
    EXPECT_EQ(ws.Names(), std::vector<std::string>{"plant.xml"});
}

TEST(CliUsage, BadUsageExits64WithoutTouchingTheFile)
{
    Workspace ws;
    ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
    const std::string before = ws.Read("plant.xml");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "plant.xml"},
        {"show"},
        {"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)"},
        {"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)", "500", "600"},
        {"add-command", "plant.xml"},
        {"add-command", "plant.xml", "three"},
        {"add-command", "plant.xml", "7"},
        {"add-command", "plant.xml", "17"},
        {"delete-command", "plant.xml", "0"},
        {"delete-command", "plant.xml", "-1"},
        {"delete-command", "plant.xml", "1"},
        {"show", "plant.xml", "--no-such-option"},
        {"map", "plant.xml", "--svg"},
        {"export", "plant.xml"},
    };
    for (const auto& args : cases) {
        std::string line;
        for (const std::string& a : args)
            line += a + " ";
        SCOPED_TRACE(line);
        const ProgramRun run = ws.Gatewaycfg(args);
        EXPECT_EQ(run.status, 64);
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(ws.Read("plant.xml"), before);
    }
    EXPECT_EQ(ws.Names(), std::vector<std::string>{"plant.xml"});

    const ProgramRun help = ws.Gatewaycfg({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"new", "show", "set", "add-command", "delete-command", "check", "automap", "map",
                                "export"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
}

struct BadFile {
    const char* name;
    std::function<void(const Workspace&)> make;   // puts plant.xml in place
    std::string message;                          // expected on stderr after "plant.xml"
};

// The line (from 1) of the "CurrentModeType" element in a configuration text.
int ModeLine(const std::string& text)
{
    const std::size_t at = text.find("<CurrentModeType ");
    return at == std::string::npos ? 0 : static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n')) + 1;
}

std::vector<BadFile> BadFiles(int modeLine)
{
    return {
        {"missing", [](const Workspace&) {}, ": "},
        {"a folder", [](const Workspace& ws) { fs::create_directory(ws / "plant.xml"); }, ": it is a folder"},
        {"not XML", [](const Workspace& ws) { WriteAll(ws / "plant.xml", "shopping list\n"); }, ""},
        {"empty", [](const Workspace& ws) { WriteAll(ws / "plant.xml", ""); }, ""},
        {"cut off",
         [](const Workspace& ws) {
             const std::string text = ws.Read("good.xml");
             WriteAll(ws / "plant.xml", text.substr(0, text.find("<NodeList")));
         },
         ", line "},
        {"broken tag",
         [](const Workspace& ws) {
             std::string text = ws.Read("good.xml");
             text.replace(text.find("<State Value=\"1\" />"), 19, "<State Value=\"1\" </State>");
             WriteAll(ws / "plant.xml", text);
         },
         ", line "},
        {"a word where a number belongs",
         [](const Workspace& ws) {
             std::string text = ws.Read("good.xml");
             text.replace(text.find("<CurrentModeType Value=\"0\" />"), 29, "<CurrentModeType Value=\"zero\" />");
             WriteAll(ws / "plant.xml", text);
         },
         ", line " + std::to_string(modeLine) + ": <CurrentModeType> holds \"zero\""},
        {"written by the Chinese build",
         [](const Workspace& ws) {
             std::string text = ws.Read("good.xml");
             text.replace(text.find("Value=\"English\""), 15, "Value=\"Chinese\"");
             WriteAll(ws / "plant.xml", text);
         },
         ": Language does not match!"},
    };
}

TEST(CliBadFile, EveryCommandExits65NamingTheFileAndLine)
{
    const std::vector<std::vector<std::string>> commands = {
        {"show", "plant.xml"},
        {"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)", "500"},
        {"add-command", "plant.xml", "3"},
        {"delete-command", "plant.xml", "1"},
        {"check", "plant.xml"},
        {"automap", "plant.xml"},
        {"map", "plant.xml", "--svg", "map.svg"},
        {"export", "plant.xml", "out.xlsx"},
    };
    std::string fresh;
    {
        Workspace ws;
        ASSERT_EQ(ws.Gatewaycfg({"new", "good.xml"}).status, 0);
        fresh = ws.Read("good.xml");
    }
    for (const BadFile& bad : BadFiles(ModeLine(fresh))) {
        SCOPED_TRACE(bad.name);
        Workspace ws;
        ASSERT_EQ(ws.Gatewaycfg({"new", "good.xml"}).status, 0);
        bad.make(ws);
        const bool isFile = fs::is_regular_file(ws / "plant.xml");
        const std::string before = isFile ? ws.Read("plant.xml") : std::string();
        for (const auto& args : commands) {
            SCOPED_TRACE(args[0]);
            const ProgramRun run = ws.Gatewaycfg(args);
            EXPECT_EQ(run.status, 65);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find("plant.xml" + bad.message), std::string::npos) << run.err;
            EXPECT_EQ(isFile ? ws.Read("plant.xml") : std::string(), before);
            EXPECT_EQ(fs::exists(ws / "plant.xml"), bad.name != std::string("missing"));
        }
        EXPECT_FALSE(fs::exists(ws / "map.svg"));
        EXPECT_FALSE(fs::exists(ws / "out.xlsx"));
    }
}

// A save that fails must exit 74 with the reason and leave the old file whole, with no
// temporary file left beside it.
TEST(CliCannotWrite, FailedSavesExit74AndKeepTheOldFile)
{
    struct Case {
        const char* name;
        std::vector<std::string> args;
        long maxFileBytes;   // > 0: the program may write files of at most this size
        std::string reason;  // expected on stderr
    };
    const std::vector<Case> cases = {
        {"set, disk refuses the size", {"set", "plant.xml", "subnet", "Response Timeout(50~60000ms)", "500"}, 4096,
         "Cannot save plant.xml: "},
        {"add-command, disk refuses the size", {"add-command", "plant.xml", "3"}, 4096, "Cannot save plant.xml: "},
        {"delete-command, disk refuses the size", {"delete-command", "plant.xml", "1"}, 4096,
         "Cannot save plant.xml: "},
        {"automap, disk refuses the size", {"automap", "plant.xml"}, 4096, "Cannot save plant.xml: "},
        {"text the file's encoding cannot hold", {"set", "plant.xml", "command:1", "Mnemonic", "pump \xF0\x9F\x98\x80"},
         0, "GB2312/GBK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws;
        ASSERT_EQ(ws.Gatewaycfg({"new", "plant.xml"}).status, 0);
        ASSERT_EQ(ws.Gatewaycfg({"add-command", "plant.xml", "3"}).status, 0);
        const std::string before = ws.Read("plant.xml");
        const ProgramRun run = ws.Gatewaycfg(c.args, c.maxFileBytes);
        EXPECT_EQ(run.status, 74) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");   // nothing is reported done that did not reach the file
        EXPECT_EQ(ws.Read("plant.xml"), before);
        EXPECT_EQ(ws.Names(), std::vector<std::string>{"plant.xml"});
    }

    Workspace ws;
    const ProgramRun intoMissingFolder = ws.Gatewaycfg({"new", "no/such/folder/plant.xml"});
    EXPECT_EQ(intoMissingFolder.status, 74);
    EXPECT_NE(intoMissingFolder.err.find("no/such/folder/plant.xml"), std::string::npos) << intoMissingFolder.err;
    EXPECT_TRUE(ws.Names().empty());
}

} // namespace

namespace {

// The running language (--lang, else the locale) writes its word into the header and refuses
// files of the other language.
TEST(CliLanguage, FollowsLangOptionAndLocaleAndChecksFiles)
{
    struct Case {
        std::vector<std::string> writer;   // arguments before "new"
        const char* locale;                // LANG of the writing run
        const char* word;                  // the header's language word
        std::vector<std::string> reader;   // arguments before "show"
        bool readable;
    };
    const Case cases[] = {
        {{"--lang", "zh"}, "C", "Chinese", {"--lang", "zh"}, true},
        {{"--lang", "zh"}, "C", "Chinese", {"--lang", "en"}, false},
        {{"--lang", "en"}, "zh_CN.UTF-8", "English", {"--lang", "zh"}, false},
        {{}, "zh_TW.UTF-8", "Chinese", {"--lang", "zh"}, true},
        {{}, "en_GB.UTF-8", "English", {"--lang", "en"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.word);
        Workspace ws;
        ::setenv("LANG", c.locale, 1);
        std::vector<std::string> args = c.writer;
        args.insert(args.end(), {"new", "plant.xml"});
        const ProgramRun created = ws.Gatewaycfg(args);
        ::unsetenv("LANG");
        ASSERT_EQ(created.status, 0) << created.err;
        EXPECT_NE(ws.Read("plant.xml").find(std::string("<Language Value=\"") + c.word + "\""), std::string::npos);
        args = c.reader;
        args.insert(args.end(), {"show", "plant.xml"});
        EXPECT_EQ(ws.Gatewaycfg(args).status == 0, c.readable);
    }
    EXPECT_EQ(Workspace().Gatewaycfg({"--lang", "fr", "new", "x.xml"}).status, 64);
}

} // namespace
