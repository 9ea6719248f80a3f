#pragma once
// The command line of a simulator program, read the same way by each of them.

#include <optional>

#include <CLI/CLI.hpp>

namespace gw {

// Parses the arguments into app's options. Nothing when the program goes on; otherwise the
// status to exit with: 0 after --help or --version, 64 for bad usage (said on stderr).
inline std::optional<int> ParseSimulatorArguments(CLI::App& app, int argc, char** argv)
{
    app.get_formatter()->column_width(34);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 64;
    }
    return std::nullopt;
}

} // namespace gw
