// Files users, editors, hostile senders and killed programs leave, bad usage, links, languages:
// every refusal names the file, exits with its own status and leaves the disk as it was.

#include <sys/stat.h>

#include <algorithm>
#include <random>
#include <span>

#include "support/cli_fixture.h"
#include "model/lang_strings.h"

namespace fs = std::filesystem;

namespace {

const std::string kTimeout = "Response Timeout(50~60000ms)";

TEST_F(Cli, NewWritesADefaultFileAndReplacesAnEditedOneOnlyWithForce)
{
    ProgramRun run = RunTool({"new", "plant.xml"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(dir.Read("plant.xml").rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Nordaq Value=\"Nordaq\">\n", 0), 0u);
    EXPECT_EQ(RunTool({"new", "plant.xml"}).err, "plant.xml: the file exists already (use --force to replace it)\n");
    for (const char* force : {"--force", "-f"}) {
        Prepare({{"set", "plant.xml", "subnet", kTimeout, "600"}, {"new", "plant.xml", force}});
        EXPECT_TRUE(Shows("subnet", kTimeout + " = 300")) << force;
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"plant.xml"});
}

TEST_F(Cli, BadUsageExits64WithoutTouchingAnEditedFile)
{
    const std::vector<std::vector<std::string>> rows = {
        {}, {"frobnicate", "plant.xml"}, {"show"}, {"set", "plant.xml", "subnet", kTimeout},
        {"set", "plant.xml", "subnet", kTimeout, "500", "600"}, {"add-command", "plant.xml"},
        {"add-command", "plant.xml", "three"}, {"add-command", "plant.xml", "7"}, {"add-command", "plant.xml", "17"},
        {"delete-command", "plant.xml", "0"}, {"delete-command", "plant.xml", "-1"}, {"delete-command", "plant.xml", "1"},
        {"show", "plant.xml", "--no-such-option"}, {"map", "plant.xml", "--svg"}, {"export", "plant.xml"},
        {"--lang", "fr", "new", "other.xml"}, {"new", "plant.xml"}, {"new", "./plant.xml"},
    };
    Prepare({{"new", "plant.xml"}, {"set", "plant.xml", "subnet", kTimeout, "500"}});
    const std::string before = dir.Read("plant.xml");
    for (const auto& args : rows) {
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, 64) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(dir.Read("plant.xml"), before);
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"plant.xml"});
    EXPECT_EQ(RunTool({"--help"}).status, 0);
}

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(Cli, UnreadableFilesExit65NamingTheFileAndLine)
{
    Prepare({{"new", "good.xml"}});
    const std::string good = dir.Read("good.xml");
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const auto after = [](const std::string& text) { return "plant.xml, line " + std::to_string(Lines(text) + 1) + ": "; };
    std::string deep = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Nordaq Value=\"Nordaq\">\n";
    for (int i = 0; i < 50000; ++i)
        deep += "<a>";
    std::string big = good.substr(0, good.rfind("</Nordaq>"));
    while (big.size() <= 16u << 20)
        big += std::string(99, ' ') + "\n";
    const std::string cut = good.substr(0, good.find("<NodeList"));
    const std::string value = "<CurrentVal Value=\"300\"";   // the response time-out
    const std::string atValue = after(good.substr(0, good.find(value)));
    struct Row {
        std::string name;   // "missing" and "a folder" need no text
        std::string text;
        std::vector<std::string> says;   // on stderr
    };
    const std::vector<Row> rows = {
        {"missing", "", {"plant.xml: "}},
        {"a folder", "", {"plant.xml: it is a folder"}},
        {"not XML", "shopping list\n", {"plant.xml"}},
        {"empty", "", {"plant.xml"}},
        {"cut off", cut, {after(cut), "cut off"}},
        {"broken tag", edited("<State Value=\"1\" />", "<State Value=\"1\" </State>"), {"plant.xml, line "}},
        {"a word where a number belongs", edited("<CurrentModeType Value=\"0\" />", "<CurrentModeType Value=\"zero\" />"),
         {after(good.substr(0, good.find("<CurrentModeType "))) + "<CurrentModeType> holds \"zero\""}},
        {"written by the Chinese build", edited("Value=\"English\"", "Value=\"Chinese\""),
         {"plant.xml: Language does not match!"}},
        {"nested 50,000 levels deep", deep, {"plant.xml, line 3: ", "levels deep"}},
        {"larger than 16 MB", big + "</Nordaq>\n", {after(big.substr(0, 16u << 20)), "16 MB"}},
        {"another element after the root", good + "<Nordaq>\n", {after(good), "after the end"}},
        {"text after the root", good + "\n\ngarbage", {after(good + "\n\n"), "after the end"}},
        {"a FIFO", "", {"plant.xml: not a regular file (a FIFO)"}},
        {"NUL by reference", edited(value, "<CurrentVal Value=\"1&#0;234\""), {atValue, "\"&#0;\" stands for NUL"}},
        {"an undefined entity", edited(value, "<CurrentVal Value=\"&foo;\""), {atValue, "undefined entity \"&foo;\""}},
        {"a bare ampersand", edited(value, "<CurrentVal Value=\"3 & 4\""), {atValue, "\"&\" that starts no reference"}},
        {"a character GBK cannot hold", edited(value, "<CurrentVal Value=\"&#x1F600;\""), {atValue, "U+1F600"}},
        {"another declared encoding", edited("encoding=\"gb2312\"", "encoding=\"ISO-8859-1\""),
         {"plant.xml, line 1: ", "\"ISO-8859-1\""}},
    };
    const std::vector<std::vector<std::string>> commands = {
        {"show", "plant.xml"},           {"set", "plant.xml", "subnet", kTimeout, "500"},
        {"add-command", "plant.xml", "3"}, {"delete-command", "plant.xml", "1"},
        {"check", "plant.xml"},          {"automap", "plant.xml"},
        {"map", "plant.xml", "--svg", "map.svg"}, {"export", "plant.xml", "out.xlsx"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(dir / "plant.xml");
        if (row.name == "a folder")
            fs::create_directory(dir / "plant.xml");
        else if (row.name == "a FIFO")
            ASSERT_EQ(::mkfifo((dir / "plant.xml").c_str(), 0644), 0);   // read, it would wait for a writer
        else if (row.name != "missing")
            dir.Write("plant.xml", row.text);
        const std::size_t runs = row.text.size() > (1u << 16) ? 1 : commands.size();   // big ones: show only
        for (const auto& args : std::span(commands).first(runs)) {
            const ProgramRun run = RunTool(args);
            EXPECT_EQ(run.status, 65) << args[0];
            EXPECT_EQ(run.out, "");
            for (const std::string& part : row.says)
                EXPECT_NE(run.err.find(part), std::string::npos) << run.err;
            EXPECT_EQ(fs::is_regular_file(dir / "plant.xml") ? dir.Read("plant.xml") : "", row.text);
        }
        EXPECT_EQ(dir.Names().size(), row.name == "missing" ? 1u : 2u);
    }
}

// A save that fails exits 74 with the reason, reports nothing done and leaves the old file
// whole, with no temporary file beside it.
TEST_F(Cli, FailedSavesExit74AndKeepTheOldFile)
{
    // The arguments, a limit on the size of any file written (0: none), the reason given.
    const std::string cannot = "Cannot save plant.xml: ";
    const std::tuple<std::vector<std::string>, long, std::string> rows[] = {
        {{"set", "plant.xml", "subnet", kTimeout, "500"}, 4096, cannot}, {{"automap", "plant.xml"}, 4096, cannot},
        {{"add-command", "plant.xml", "3"}, 4096, cannot}, {{"delete-command", "plant.xml", "1"}, 4096, cannot},
        {{"set", "plant.xml", "command:1", "Mnemonic", "pump \xF0\x9F\x98\x80"}, 0, "GB2312/GBK"},
        {{"new", "no/such/folder/plant.xml"}, 0, "no/such/folder/plant.xml"},
        {{"export", "plant.xml", "out.xlsx"}, 4096, "Cannot export to out.xlsx: "},
    };
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}});
    const std::string before = dir.Read("plant.xml");
    for (const auto& [args, maxFileBytes, reason] : rows) {
        SCOPED_TRACE(args[0]);
        const ProgramRun run = maxFileBytes ? Process(args, {"", maxFileBytes}) : RunTool(args);
        EXPECT_EQ(run.status, 74) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one message, no library's own: " << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(dir.Read("plant.xml"), before);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"plant.xml"});
    }
}

// Saves killed at any moment leave the file whole; the next save leaves no temporary behind,
// not even one that an older version of the program left.
TEST_F(Cli, NoTemporaryOutlivesTheNextSave)
{
    Prepare({{"new", "plant.xml"}});
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Process({"set", "plant.xml", "subnet", kTimeout, "400"}).status, 0);
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    dir.Write(".plant.xml.Ab12Cd", dir.Read("plant.xml"));
    std::mt19937 random(13);
    std::uniform_int_distribution<long> moment(0, runTime.count());
    for (int i = 0; i < 8; ++i)
        Process({"set", "plant.xml", "subnet", kTimeout, std::to_string(500 + i)}, {"", 0, moment(random)});
    EXPECT_EQ(Process({"set", "plant.xml", "subnet", kTimeout, "700"}).status, 0);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"plant.xml"});
}

// The running language (--lang, else the locale) builds the configuration in that language from
// the start: its word in the header, every label and name from its table, the same defaults;
// the file passes its own language's check and is refused by the other language.
TEST_F(Cli, LanguageFollowsTheOptionAndTheLocale)
{
    // LANG and the arguments of the run that writes the file, the header's word, the reader's --lang.
    const std::tuple<const char*, std::vector<std::string>, const char*, const char*, int> rows[] = {
        {"C", {"--lang", "zh", "new"}, "Chinese", "zh", 0}, {"zh_CN.UTF-8", {"--lang", "en", "new"}, "English", "zh", 65},
        {"zh_TW.UTF-8", {"new"}, "Chinese", "zh", 0},      {"en_GB.UTF-8", {"new"}, "English", "en", 0},
    };
    for (const auto& [locale, writer, word, reader, status] : rows) {
        SCOPED_TRACE(locale);
        ::setenv("LANG", locale, 1);
        std::vector<std::string> args = writer;
        args.insert(args.end(), {"plant.xml", "--force"});
        const ProgramRun created = RunTool(args);
        ::unsetenv("LANG");
        ASSERT_EQ(created.status, 0) << created.err;
        const std::string text = dir.Read("plant.xml");
        EXPECT_NE(text.find(std::string("<Language Value=\"") + word + "\""), std::string::npos);
        const ProgramRun shown = RunTool({"--lang", reader, "show", "plant.xml"});
        EXPECT_EQ(shown.status, status);
        EXPECT_EQ(RunTool({"--lang", reader, "check", "plant.xml"}).status, status);
        // Every item label is in the file's language: GB2312 bytes for Chinese, ASCII for English.
        const Language lang = std::string(word) == "Chinese" ? Language::Chinese : Language::English;
        for (std::size_t at = text.find("<Item Value=\""); at != std::string::npos; at = text.find("<Item Value=\"", at + 1)) {
            const std::string label = text.substr(at + 13, text.find('"', at + 13) - at - 13);
            EXPECT_EQ(std::any_of(label.begin(), label.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }),
                      lang == Language::Chinese) << label;
        }
        if (status != 0)
            continue;
        // The names, and a default that a reset would change (Output Mode).
        EXPECT_NE(shown.out.find("\n" + gw::GetLangStringIn(lang, AppText::SubnetName) + "\n"), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find(gw::GetLangStringIn(lang, SubnetText::OutputMode) + " = " +
                                 gw::GetLangStringIn(lang, ChoiceText::ChangeOfValue) + "\n"),
                  std::string::npos);
    }
}

// A text editor saves as UTF-8 with a byte-order mark and leaves the "gb2312" declaration.
TEST_F(Cli, AByteOrderMarkFileIsReadAsUtf8AndSavedAsGb2312)
{
    Prepare({{"new", "plant.xml"}, {"add-command", "plant.xml", "3"}, {"set", "plant.xml", "command:1", "Mnemonic", "pump"}});
    std::string text = dir.Read("plant.xml");
    dir.Write("plant.xml", "\xEF\xBB\xBF" + text.replace(text.find("Value=\"pump\""), 12, "Value=\"泵站\""));
    EXPECT_TRUE(Shows("command:1", "Mnemonic = 泵站")) << Shown("command:1");
    Prepare({{"set", "plant.xml", "subnet", kTimeout, "500"}});
    const std::string saved = dir.Read("plant.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n", 0), 0u);
    EXPECT_NE(saved.find("Value=\"\xB1\xC3\xD5\xBE\""), std::string::npos);   // GB2312 bytes
    // Character references read as the characters, whole, in a GB2312 file too.
    std::string referenced = saved;
    dir.Write("plant.xml", referenced.replace(saved.find("Value=\"\xB1\xC3\xD5\xBE\""), 12, "Value=\"&#x6CF5;&#31449;\""));
    EXPECT_TRUE(Shows("command:1", "Mnemonic = 泵站")) << Shown("command:1");
}

// Saving through a symbolic link writes the file it leads to; the link stays a link.
TEST_F(Cli, SavesGoThroughLinksToTheirTargets)
{
    const std::pair<std::vector<std::string>, std::string> rows[] = {   // the target in "real"; none: refused
        {{"set", "link.xml", "subnet", kTimeout, "500"}, "plant.xml"}, {{"new", "link.xml", "--force"}, "plant.xml"},
        {{"set", "chain.xml", "subnet", kTimeout, "500"}, "plant.xml"}, {{"new", "dangling.xml"}, "new.xml"},
        {{"export", "link.xml", "book-link.xlsx"}, "book.xlsx"},         {{"new", "nowhere.xml"}, ""},
    };
    const std::vector<std::pair<const char*, const char*>> links = {
        {"link.xml", "real/plant.xml"}, {"chain.xml", "link.xml"}, {"dangling.xml", "real/new.xml"},
        {"book-link.xlsx", "real/book.xlsx"}, {"nowhere.xml", "missing/plant.xml"}};
    for (const auto& [args, target] : rows) {
        SCOPED_TRACE(args[1] + " " + args[0]);
        const ScratchFolder ws;
        fs::current_path(ws.Path());
        fs::create_directory("real");
        Prepare({{"new", "real/plant.xml"}, {"set", "real/plant.xml", "subnet", kTimeout, "600"}});
        ws.Write("real/book.xlsx", "old workbook");
        ::chmod("real/plant.xml", 0640);
        for (const auto& [link, to] : links)
            fs::create_symlink(to, link);
        const std::string before = ws.Read("real/plant.xml");

        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, target.empty() ? 74 : 0) << run.err;
        for (const auto& [link, to] : links)
            EXPECT_EQ(fs::read_symlink(link), to);
        if (target.empty()) {
            EXPECT_NE(run.err.find("missing/plant.xml"), std::string::npos) << run.err;
            EXPECT_FALSE(fs::exists("missing"));
        } else {
            EXPECT_NE(ws.Read("real/" + target), before);
            EXPECT_NE(ws.Read("real/" + target), "old workbook");
            EXPECT_EQ(fs::status("real/plant.xml").permissions(),
                      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        }
        for (const auto& entry : fs::directory_iterator("real"))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
        fs::current_path(dir.Path());
    }
}

} // namespace
