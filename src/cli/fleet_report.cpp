#include "cli/fleet_report.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/ioctl.h>
#include <unistd.h>

#include "model/json_text.h"

namespace {

// A redraw for progress alone waits this long after the last one.
constexpr std::chrono::milliseconds kRedrawPause{100};

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

std::string Padded(const std::string& text, std::size_t width, bool right = false)
{
    const std::string pad(width > text.size() ? width - text.size() : 0, ' ');
    return right ? pad + text : text + pad;
}

winsize TerminalSize()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 24;
    }
    return size;
}

} // namespace

std::string gw::ModuleLine(const PlanModule& module, const ModuleResult& result)
{
    return module.name + " via " + module.port + ": " + std::to_string(result.outcome.code) + " " + result.outcome.message +
           " (" + Seconds(result.seconds) + " s)";
}

void gw::PrintFleetSummary(std::ostream& out, const FleetPlan& plan, const FleetResult& fleet)
{
    const std::vector<std::string> heads = {"module", "port", "action", "code", "seconds", "message"};
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < plan.modules.size(); ++i) {
        const ModuleResult& result = fleet.modules[i];
        rows.push_back({plan.modules[i].name, plan.modules[i].port, FleetActionName(result.action),
                        std::to_string(result.outcome.code), Seconds(result.seconds), result.outcome.message});
    }
    std::vector<std::size_t> widths;
    for (std::size_t c = 0; c < heads.size(); ++c) {
        std::size_t width = heads[c].size();
        for (const auto& row : rows)
            width = std::max(width, row[c].size());
        widths.push_back(width);
    }
    const auto print = [&](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const bool number = c == 3 || c == 4;
            line += c + 1 == row.size() ? row[c] : Padded(row[c], widths[c], number) + "  ";
        }
        out << line << '\n';
    };
    out << '\n';
    print(heads);
    for (const auto& row : rows)
        print(row);
    out << plan.modules.size() << " module(s): " << fleet.succeeded << " succeeded, " << fleet.failed << " failed\n";
}

void gw::PrintFleetJson(std::ostream& out, const FleetPlan& plan, const FleetResult& fleet)
{
    out << "{\"modules\": [";
    for (std::size_t i = 0; i < plan.modules.size(); ++i) {
        const PlanModule& module = plan.modules[i];
        const ModuleResult& result = fleet.modules[i];
        out << (i ? ",\n  " : "\n  ") << "{\"name\": " << JsonString(module.name) << ", \"port\": " << JsonString(module.port)
            << ", \"file\": " << JsonString(result.outcome.file) << ", \"action\": \"" << FleetActionName(result.action)
            << "\", \"code\": " << result.outcome.code << ", \"message\": " << JsonString(result.outcome.message)
            << ", \"seconds\": " << Seconds(result.seconds) << "}";
    }
    out << "\n], \"succeeded\": " << fleet.succeeded << ", \"failed\": " << fleet.failed << "}\n";
}

CFleetConsole::CFleetConsole(const FleetPlan& plan, const FleetOptions& options, std::ostream& lines, std::ostream* progress)
    : m_plan(plan), m_options(options), m_lines(lines), m_progress(progress)
{
}

void CFleetConsole::OnStarted(std::size_t module)
{
    m_running[module] = "connecting";
    Draw();
}

void CFleetConsole::OnProgress(std::size_t module, int done, int planned)
{
    const bool probe = gw::ActionOf(m_plan.modules[module], m_options) == FleetAction::Probe;
    m_running[module] = std::string(probe ? "command " : "exchange ") + std::to_string(done) +
                        (planned > 0 ? " of " + std::to_string(planned) : std::string());
    if (m_progress && std::chrono::steady_clock::now() - m_lastDraw >= kRedrawPause)
        Draw();
}

void CFleetConsole::OnEnded(std::size_t module, const ModuleResult& result)
{
    m_running.erase(module);
    Erase();
    m_lines << gw::ModuleLine(m_plan.modules[module], result) << '\n' << std::flush;
    Draw();
}

void CFleetConsole::Erase()
{
    if (!m_progress || m_drawn == 0)
        return;
    *m_progress << "\x1b[" << m_drawn << "A\x1b[J" << std::flush;
    m_drawn = 0;
}

void CFleetConsole::Draw()
{
    if (!m_progress)
        return;
    Erase();
    // Rows that wrapped or scrolled off would not be erased whole: each fits a line, and the
    // block fits the screen.
    const winsize size = TerminalSize();
    const std::size_t columns = size.ws_col;
    const std::size_t shown = std::min<std::size_t>(m_running.size(), size.ws_row > 3 ? size.ws_row - 3u : 1u);
    std::size_t row = 0;
    for (const auto& [module, state] : m_running) {
        std::string text = row + 1 == shown && shown < m_running.size()
                               ? "  ... and " + std::to_string(m_running.size() - row) + " more running"
                               : "  " + m_plan.modules[module].name + ": " + state;
        if (text.size() >= columns)
            text.resize(columns - 1);
        *m_progress << text << '\n';
        ++m_drawn;
        if (++row == shown)
            break;
    }
    *m_progress << std::flush;
    m_lastDraw = std::chrono::steady_clock::now();
}
