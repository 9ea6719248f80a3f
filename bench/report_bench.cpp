// gatewaycfg report on a full slave node of 48 Modbus commands, with a probe result of every
// command and a verify result with differences: the configuration read, both results read, the
// report built and written to a real file. Fails when one report takes 100 ms or longer.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "bench_config.h"
#include "cli/gatewaycfg.h"
#include "file/config_file.h"
#include "file/replacement_file.h"
#include "mapping/auto_map.h"

namespace fs = std::filesystem;

namespace {

constexpr double kLimitMs = 100.0;
double g_slowestMs = 0;

std::string ProbeJson()
{
    std::string json = "{\"commands\": [";
    for (int i = 1; i <= kMaxCommandsPerSlave; ++i) {
        json += std::string(i > 1 ? ", " : "") + "{\"command\": " + std::to_string(i) +
                ", \"function\": 3, \"start\": 100, \"count\": 8, \"status\": \"ok\", \"exception\": null, \"ms\": 4.2, "
                "\"values\": [1, 2, 3, 4, 5, 6, 7, 65535]}";
    }
    return json + "], \"input_image\": \"" + std::string(488, 'A') + "\"}";
}

std::string VerifyJson()
{
    std::string json = "{\"equal\": false, \"hardware\": \"2.1\", \"date\": \"2024-05-01 12:00:00\", \"differences\": [";
    for (int i = 1; i <= kMaxCommandsPerSlave; ++i)
        json += std::string(i > 1 ? ", " : "") + "{\"node\": \"command:" + std::to_string(i) +
                "\", \"item\": \"Number of Data\", \"left\": \"10\", \"right\": \"12\"}";
    return json + "]}";
}

void BM_ReportWith48Commands(benchmark::State& state)
{
    const fs::path folder = fs::temp_directory_path() / ("gw-report-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string config = (folder / "full.xml").string(), probe = (folder / "probe.json").string(),
                      verify = (folder / "verify.json").string(), report = (folder / "report.html").string();
    auto root = bench::MakeFullConfig();
    gw::AutoMap(*root);
    if (!gw::SaveFile(*root, config).ok || !gw::ReplaceFileContents(probe, ProbeJson()) ||
        !gw::ReplaceFileContents(verify, VerifyJson())) {
        state.SkipWithError("cannot write the inputs");
        return;
    }
    const char* argv[] = {"gatewaycfg", "report", config.c_str(), "-o", report.c_str(), "--probe-json", probe.c_str(),
                          "--verify-json", verify.c_str(), "--input-base", "0", "--output-base", "0"};
    for (auto _ : state) {
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        const int status = gw::RunGatewayCfg(static_cast<int>(std::size(argv)), argv, out, err);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        g_slowestMs = std::max(g_slowestMs, took.count());
        if (status != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    state.counters["slowest_ms"] = g_slowestMs;
    fs::remove_all(folder);
}
BENCHMARK(BM_ReportWith48Commands)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("slowest report: %.1f ms (limit %.0f ms)\n", g_slowestMs, kLimitMs);
    return g_slowestMs < kLimitMs ? 0 : 1;
}
