// Opening and saving a configuration file with a full slave node of 48 Modbus commands, on real
// files in a temporary folder. Saving includes writing the temporary file, flushing it to disk
// and renaming it over the old one.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_config.h"
#include "file/config_file.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/modbus_command.h"

namespace fs = std::filesystem;

namespace {

using bench::MakeFullConfig;

// A temporary folder for one benchmark, removed with it.
class TempFolder {
public:
    explicit TempFolder(const char* name)
        : m_path(fs::temp_directory_path() / ("gw-file-bench-" + std::to_string(::getpid()) + "-" + name))
    {
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    std::string File(const char* name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

void BM_SaveFile(benchmark::State& state)
{
    TempFolder folder("save");
    const std::string path = folder.File("full.xml");
    auto root = MakeFullConfig();
    for (auto _ : state) {
        const FileResult saved = gw::SaveFile(*root, path);
        if (!saved.ok) {
            state.SkipWithError(saved.message.c_str());
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);

void BM_OpenFile(benchmark::State& state)
{
    TempFolder folder("open");
    const std::string path = folder.File("full.xml");
    if (!gw::SaveFile(*MakeFullConfig(), path).ok) {
        state.SkipWithError("cannot write the configuration");
        return;
    }
    CDeviceConfig root;
    for (auto _ : state) {
        const FileResult loaded = gw::LoadFile(root, path);
        if (!loaded.ok) {
            state.SkipWithError(loaded.message.c_str());
            break;
        }
    }
    if (root.Subnet().GetNodeCount() != 1 || root.Subnet().GetNodeAt(0)->GetCommandCount() != kMaxCommandsPerSlave)
        state.SkipWithError("the file did not bring back the 48 commands");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_OpenFile)->Unit(benchmark::kMillisecond);

// What a user's edit costs in gatewaycfg: open the file, save it again.
void BM_OpenAndSave(benchmark::State& state)
{
    TempFolder folder("open-save");
    const std::string path = folder.File("full.xml");
    if (!gw::SaveFile(*MakeFullConfig(), path).ok) {
        state.SkipWithError("cannot write the configuration");
        return;
    }
    for (auto _ : state) {
        CDeviceConfig root;
        const FileResult loaded = gw::LoadFile(root, path);
        const FileResult saved = loaded.ok ? gw::SaveFile(root, path) : loaded;
        if (!saved.ok) {
            state.SkipWithError(saved.message.c_str());
            break;
        }
    }
}
BENCHMARK(BM_OpenAndSave)->Unit(benchmark::kMillisecond);

// Refusing a hostile file: 50,000 levels of nesting (argument 0) or 17 MB (argument 1). Both
// must be refused well within a second.
void BM_RefuseHostileFile(benchmark::State& state)
{
    TempFolder folder("hostile");
    const std::string path = folder.File("hostile.xml");
    std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Nordaq Value=\"Nordaq\">\n";
    if (state.range(0) == 0) {
        for (int i = 0; i < 50000; ++i)
            text += "<a>";
    } else {
        text.append(kMaxConfigFileBytes + (1 << 20), ' ');
    }
    std::ofstream(path, std::ios::binary) << text << "\n</Nordaq>\n";
    CDeviceConfig root;
    for (auto _ : state) {
        if (gw::LoadFile(root, path).ok) {
            state.SkipWithError("the file was accepted");
            break;
        }
    }
}
BENCHMARK(BM_RefuseHostileFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
