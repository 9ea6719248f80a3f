// Every file of the fuzzer's seed corpus (tests/fuzz_corpus), read as Open reads it: accepted
// whole, so that it survives a save and a second open unchanged, or refused with a message naming
// it and the open configuration left as it was. "malformed_*" and "other_language*" must be
// refused, "master_*", "user_config_*", "commands*" and "minimal_*" accepted; other names (inputs
// kept from fuzzing) may go either way.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file/config_file.h"
#include "support/config_builder.h"
#include "support/scratch_folder.h"

namespace {

TEST(FuzzCorpus, EveryFileIsAcceptedWholeOrRefusedCleanly)
{
    ScratchFolder dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(GATEWAY_FUZZ_CORPUS_DIR)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++files;
        auto root = test_config::MakeConfig({{3}});
        const std::string before = test_config::ConfigText(*root);
        const FileResult loaded = gw::LoadFile(*root, entry.path().string());
        auto starts = [&](const char* prefix) { return name.rfind(prefix, 0) == 0; };
        if (starts("malformed_") || starts("other_language")) {
            EXPECT_FALSE(loaded.ok);
        } else if (starts("master_") || starts("user_config_") || starts("commands") || starts("minimal_")) {
            EXPECT_TRUE(loaded.ok) << loaded.message;
        }
        if (!loaded.ok) {
            EXPECT_TRUE(loaded.languageMismatch || loaded.message.find(name) != std::string::npos) << loaded.message;
            EXPECT_EQ(test_config::ConfigText(*root), before) << "a refused file changed the open configuration";
            continue;
        }
        ASSERT_TRUE(gw::SaveFile(*root, dir / "resaved.xml").ok);
        CDeviceConfig reopened;
        ASSERT_TRUE(gw::LoadFile(reopened, dir / "resaved.xml").ok);
        EXPECT_EQ(test_config::ConfigText(reopened), test_config::ConfigText(*root));
    }
    EXPECT_GE(files, 5) << GATEWAY_FUZZ_CORPUS_DIR;
}

} // namespace
