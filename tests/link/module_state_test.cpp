// The simulator's state file: what a later run reads back, and what it refuses.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "sim/module_state.h"

namespace {

ModuleState Sample()
{
    ModuleState state = ModuleState::Factory();
    state.serial[1] = 0x07;
    state.bus = {0x01, 0x00, 0x04, 0xD2};
    state.addressMode = 1;
    CommandRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>(0xF0 + i);
    state.commands = {record, CommandRecord{}};
    return state;
}

TEST(ModuleStateFile, FormatThenParseGivesTheSameState)
{
    const ModuleState state = Sample();
    ModuleState read;
    std::string error;
    ASSERT_TRUE(ParseModuleState(FormatModuleState(state), read, error)) << error;
    EXPECT_EQ(read.serial, state.serial);
    EXPECT_EQ(read.bus, state.bus);
    EXPECT_EQ(read.addressMode, state.addressMode);
    EXPECT_EQ(read.commands, state.commands);
}

TEST(ModuleStateFile, RefusesDamagedLinesAndNamesThem)
{
    const std::string good = FormatModuleState(Sample());
    const std::string commandLine = "command 00 11 03 00 07 00 02 00 00 00 00 00\n";
    std::string fortyNine;
    for (int i = 0; i < 49; ++i)
        fortyNine += commandLine;
    struct Row {
        const char* name;
        std::string text;
        const char* line;
    };
    const Row rows[] = {
        {"unknown key", good + "colour 00\n", "line "},
        {"short bus block", "bus 01 00 04\n", "line 1"},
        {"bus block with an extra byte", "bus 01 00 04 D2 00\n", "line 1"},
        {"not hex", "address-mode 0G\n", "line 1"},
        {"negative byte", "address-mode -1\n", "line 1"},
        {"three digits", "address-mode 100\n", "line 1"},
        {"49 commands", fortyNine, "line 49"},
    };
    for (const Row& row : rows) {
        ModuleState state = Sample();
        const ModuleState before = state;
        std::string error;
        EXPECT_FALSE(ParseModuleState(row.text, state, error)) << row.name;
        EXPECT_NE(error.find(row.line), std::string::npos) << row.name << ": " << error;
        EXPECT_EQ(state.commands, before.commands) << row.name << ": a refused file changes nothing";
    }
}

TEST(ModuleStateFile, CommentsAndBlankLinesAreSkipped)
{
    ModuleState state;
    std::string error;
    ASSERT_TRUE(ParseModuleState("# written by hand\n\naddress-mode 01\n", state, error)) << error;
    EXPECT_EQ(state.addressMode, 1);
    EXPECT_TRUE(state.commands.empty());
}

// The state file is written through symbolic links to their target, which may not exist yet.
TEST(ModuleStateFile, SavedThroughLinksToTheirTarget)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) / ("gw-state-links-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    fs::create_symlink("real/state.txt", dir / "link.txt");   // dangling until the first save
    fs::create_symlink("link.txt", dir / "chain.txt");
    for (const char* name : {"link.txt", "chain.txt"}) {
        SCOPED_TRACE(name);
        ModuleState state = Sample();
        state.addressMode = name[0] == 'l' ? 0 : 1;
        std::string error;
        ASSERT_TRUE(SaveModuleState((dir / name).string(), state, error)) << error;
        EXPECT_TRUE(fs::is_symlink(dir / name));
        ModuleState read;
        ASSERT_TRUE(LoadModuleState((dir / "real/state.txt").string(), read, error)) << error;
        EXPECT_EQ(read.addressMode, state.addressMode);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

} // namespace
