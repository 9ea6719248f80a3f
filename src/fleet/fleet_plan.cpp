#include "fleet/fleet_plan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include <csv.h>

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 5> kColumns = {"name", "port", "file", "hw", "action"};
constexpr std::array<const char*, 3> kRequired = {"name", "port", "file"};
constexpr std::array<FleetAction, 4> kActions = {FleetAction::Download, FleetAction::Verify, FleetAction::Upload,
                                                 FleetAction::Probe};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct Row {
    std::vector<std::string> fields;
    int line = 0;
};

// The rows of a CSV text, each with the line it starts on.
class CCsvRows {
public:
    Outcome Read(const std::string& text, char delimiter, std::vector<Row>& rows)
    {
        csv_parser parser{};
        if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
            return gw::Failure("the CSV reader cannot start");
        csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
        // Fed a line at a time, so that each row knows where it starts.
        std::size_t at = 0;
        bool ok = true;
        while (ok && at < text.size()) {
            const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
            ++m_line;
            ok = csv_parse(&parser, text.data() + at, end - at, OnField, OnRow, this) == end - at;
            at = end;
        }
        ok = ok && csv_fini(&parser, OnField, OnRow, this) == 0;
        Outcome read;
        if (!ok)
            read = gw::Failure("line " + std::to_string(m_line) + ": " + csv_strerror(csv_error(&parser)) +
                           " (a quote inside a field is written twice, and the field is quoted)");
        csv_free(&parser);
        rows = std::move(m_rows);
        return read;
    }

private:
    static void OnField(void* bytes, std::size_t length, void* data)
    {
        auto* self = static_cast<CCsvRows*>(data);
        if (self->m_current.fields.empty())
            self->m_current.line = self->m_line;
        self->m_current.fields.emplace_back(static_cast<const char*>(bytes), length);
    }
    static void OnRow(int, void* data)
    {
        auto* self = static_cast<CCsvRows*>(data);
        self->m_rows.push_back(std::move(self->m_current));
        self->m_current = Row{};
    }

    std::vector<Row> m_rows;
    Row m_current;
    int m_line = 0;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A name that is one file name: not empty, no folder, nothing hidden or special.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name.front() != '.' && name.find_first_of("/\\:*?\"<>|") == std::string::npos &&
           std::none_of(name.begin(), name.end(), [](unsigned char c) { return c < 0x20; });
}

Outcome ReadModule(const Row& row, const std::map<std::string, std::size_t>& columns, const fs::path& folder,
                   PlanModule& module)
{
    const auto field = [&](const char* column) {
        const auto found = columns.find(column);
        return found != columns.end() && found->second < row.fields.size() ? row.fields[found->second] : std::string();
    };
    module.line = row.line;
    module.name = field("name");
    module.port = field("port");
    module.file = field("file");
    if (!IsPlainName(module.name))
        return gw::Failure(module.name.empty() ? "the module has no name"
                                           : "the name " + Quoted(module.name) + " cannot be a file name (NAME.xml)");
    if (module.port.empty())
        return gw::Failure(module.name + " has no port");
    if (!module.file.empty())
        module.filePath = (folder / module.file).lexically_normal();
    if (const std::string hw = field("hw"); !hw.empty()) {
        HardwareVersion version;
        if (!gw::ParseHardwareVersion(hw, version))
            return gw::Failure(module.name + ": hw takes a hardware version such as 2.1, not " + Quoted(hw));
        module.hardware = version;
    }
    if (const std::string action = field("action"); !action.empty()) {
        FleetAction parsed;
        if (!gw::ParseFleetAction(action, parsed))
            return gw::Failure(module.name + ": the action is download, verify, upload or probe, not " + Quoted(action));
        module.action = parsed;
    }
    if (module.file.empty() && module.action != FleetAction::Upload)
        return gw::Failure(module.name + " has no file (only an upload may go without)");
    return {};
}

} // namespace

const char* gw::FleetActionName(FleetAction action)
{
    switch (action) {
    case FleetAction::Download: return "download";
    case FleetAction::Verify: return "verify";
    case FleetAction::Upload: return "upload";
    case FleetAction::Probe: return "probe";
    }
    return "verify";
}

bool gw::ParseFleetAction(const std::string& text, FleetAction& action)
{
    const std::string wanted = Lower(text);
    for (const FleetAction known : kActions)
        if (wanted == FleetActionName(known)) {
            action = known;
            return true;
        }
    return false;
}

Outcome gw::ReadFleetPlan(const fs::path& path, FleetPlan& plan)
{
    plan = FleetPlan{};
    plan.path = path;
    plan.folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    const std::string where = path.string() + ":";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return gw::Failure(path.string() + ": the plan cannot be read");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    // A spreadsheet set to a language with decimal commas writes semicolons.
    const std::string header = text.substr(0, text.find('\n'));
    const char delimiter = header.find(',') == std::string::npos && header.find(';') != std::string::npos ? ';' : ',';
    std::vector<Row> rows;
    if (const Outcome read = CCsvRows().Read(text, delimiter, rows); !read)
        return gw::Failure(where + read.message);
    if (rows.empty())
        return gw::Failure(where + " the plan is empty; its first row names the columns: name,port,file[,hw][,action]");
    std::map<std::string, std::size_t> columns;
    for (std::size_t i = 0; i < rows.front().fields.size(); ++i) {
        const std::string name = Lower(rows.front().fields[i]);
        if (std::find(kColumns.begin(), kColumns.end(), name) == kColumns.end() || columns.count(name))
            return gw::Failure(where + std::to_string(rows.front().line) + ": " +
                           (columns.count(name) ? "the column " + Quoted(name) + " is named twice"
                                                : "unknown column " + Quoted(rows.front().fields[i]) +
                                                      " (the columns are name, port, file, hw and action)"));
        columns[name] = i;
    }
    for (const char* required : kRequired)
        if (!columns.count(required))
            return gw::Failure(where + std::to_string(rows.front().line) + ": the column " + Quoted(required) +
                           " is missing; the first row names the columns: name,port,file[,hw][,action]");
    std::set<std::string> names;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const bool blank = std::all_of(row.fields.begin(), row.fields.end(), [](const std::string& f) { return f.empty(); });
        if (blank)
            continue;   // a spreadsheet's empty row
        PlanModule module;
        Outcome read;
        if (row.fields.size() > columns.size())
            read = gw::Failure("the row has " + std::to_string(row.fields.size()) + " fields, the header names " +
                           std::to_string(columns.size()));
        else if (read = ReadModule(row, columns, plan.folder, module); read && !names.insert(module.name).second)
            read = gw::Failure("the name " + Quoted(module.name) + " is given twice");
        if (!read)
            return gw::Failure(where + std::to_string(row.line) + ": " + read.message);
        plan.modules.push_back(std::move(module));
    }
    if (plan.modules.empty())
        return gw::Failure(where + " the plan names no module");
    return {};
}

fs::path gw::UploadTarget(const FleetPlan& plan, const PlanModule& module)
{
    return (plan.folder / (module.name + ".xml")).lexically_normal();
}

bool gw::IsPlanFile(const FleetPlan& plan, const fs::path& path)
{
    // The same file by any of its names: a symbolic link to a plan file counts as that file.
    const auto resolved = [](const fs::path& p) {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(p, ec);
        return ec ? fs::absolute(p, ec).lexically_normal() : canonical;
    };
    const fs::path target = resolved(path);
    if (resolved(plan.path) == target)
        return true;
    return std::any_of(plan.modules.begin(), plan.modules.end(),
                       [&](const PlanModule& m) { return !m.file.empty() && resolved(m.filePath) == target; });
}
