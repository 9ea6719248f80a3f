// Every file of the fuzzer's seed corpus (tests/fuzz_corpus), read as Open reads it: either it is
// accepted, and then it survives a save and a second open unchanged, or it is refused with a
// message and the open configuration stays as it was. The file name tells what is expected:
// "malformed_*" and "other_language*" must be refused, "master_*", "user_config_*", "commands*"
// and "minimal_*" accepted; any other (inputs kept from fuzzing) may go either way.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "file/config_file.h"
#include "model/device_config.h"
#include "model/edit_actions.h"

namespace fs = std::filesystem;

namespace {

enum class Expect { Accept, Refuse, Either };

Expect Expected(const std::string& name)
{
    for (const char* prefix : {"malformed_", "other_language"}) {
        if (name.rfind(prefix, 0) == 0)
            return Expect::Refuse;
    }
    for (const char* prefix : {"master_", "user_config_", "commands", "minimal_"}) {
        if (name.rfind(prefix, 0) == 0)
            return Expect::Accept;
    }
    return Expect::Either;
}

// The configuration as text, without the time of writing.
std::string Text(const CDeviceConfig& root)
{
    std::string text;
    const FileResult written = WriteConfigText(root, &text);
    EXPECT_TRUE(written.ok) << written.message;
    const std::size_t at = text.find("<DateTime ");
    if (at != std::string::npos)
        text.erase(at, text.find('\n', at) - at);
    return text;
}

std::vector<fs::path> CorpusFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(GATEWAY_FUZZ_CORPUS_DIR)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzCorpus, EveryFileIsAcceptedWholeOrRefusedCleanly)
{
    const std::vector<fs::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 5u) << GATEWAY_FUZZ_CORPUS_DIR;
    const fs::path dir = fs::temp_directory_path() / ("gw-fuzz-corpus-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string resaved = (dir / "resaved.xml").string();

    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        // A configuration that is open before: a refused file must leave it alone.
        CDeviceConfig root;
        CSlaveNode* slave = AddSlaveNode(root, TreeRecord::ForNode(RECORD_SUBNET, &root.Subnet()));
        ASSERT_NE(slave, nullptr);
        ASSERT_NE(AddCommandTo(slave, 2).command, nullptr);
        const std::string before = Text(root);

        const FileResult loaded = LoadFile(root, file.string());
        const Expect expect = Expected(name);
        if (expect != Expect::Either) {
            EXPECT_EQ(loaded.ok, expect == Expect::Accept) << loaded.message;
        }
        if (!loaded.ok) {
            EXPECT_FALSE(loaded.message.empty());
            if (!loaded.languageMismatch) {
                EXPECT_NE(loaded.message.find(name), std::string::npos) << loaded.message;
            }
            EXPECT_EQ(Text(root), before) << "a refused file changed the open configuration";
            continue;
        }
        const std::string text = Text(root);
        const FileResult saved = SaveFile(root, resaved);
        ASSERT_TRUE(saved.ok) << saved.message;
        CDeviceConfig reopened;
        const FileResult again = LoadFile(reopened, resaved);
        ASSERT_TRUE(again.ok) << again.message;
        EXPECT_EQ(Text(reopened), text);
    }
    fs::remove_all(dir);
}

} // namespace
