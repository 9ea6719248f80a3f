#include "cli/gatewaycfg.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <limits>
#include <functional>
#include <string>

#include "cli/change_guard.h"
#include "cli/diff_command.h"
#include "cli/exit_codes.h"
#include "model/result_codes.h"
#include "cli/export_command.h"
#include "cli/fleet_command.h"
#include "cli/iolist_command.h"
#include "cli/memory_report.h"
#include "cli/node_selector.h"
#include "cli/probe_command.h"
#include "cli/show_config.h"
#include "cli/transfer_command.h"
#include "file/config_file.h"
#include "file/replacement_file.h"
#include "mapping/auto_map.h"
#include "mapping/memory_map_svg.h"
#include "mapping/usage_map.h"
#include "model/commit_rules.h"
#include "model/data_extent_check.h"
#include "model/device_config.h"
#include "model/edit_actions.h"
#include "model/lang_strings.h"
#include "model/value_rules.h"
#include "version/build_version.h"

namespace {

// The configuration as its file text without the save time: equal pictures, equal models.
bool PictureModel(const CDeviceConfig& root, std::string* text)
{
    if (!gw::WriteConfigText(root, text).ok)
        return false;
    if (const std::size_t stamp = text->find("<DateTime "); stamp != std::string::npos)
        text->erase(stamp, text->find('\n', stamp) - stamp);
    return true;
}

class Tool {
public:
    Tool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // Runs in another language: the configuration is built again from its table.
    void UseLanguage(Language lang)
    {
        gw::SetActiveLanguage(lang);
        m_root.RemakeInActiveLanguage();
    }

    int New(const std::string& file, bool force)
    {
        std::error_code ec;
        if (!force && std::filesystem::exists(file, ec)) {
            m_err << file << ": the file exists already (use --force to replace it)\n";
            return kExitUsage;
        }
        if (const int status = gw::LockForChange(m_lock, file, m_err); status != 0)
            return status;
        return Save(file);
    }

    int Show(const std::string& file)
    {
        if (const int status = Load(file); status != 0)
            return status;
        gw::ShowConfig(m_root, m_out);
        return 0;
    }

    int Set(const std::string& file, const std::string& node, const std::string& label, const std::string& value)
    {
        if (const int status = LoadForChange(file); status != 0)
            return status;
        const NodeSelection selection = gw::SelectNode(m_root, node);
        if (!selection.error.empty()) {
            m_err << file << ": " << selection.error << '\n';
            return kExitUsage;
        }
        const TreeRecord& record = selection.record;
        const std::string where = file + ": " + gw::RecordName(record) + " / ";
        const int row = gw::FindRowByLabel(record, label);
        if (row < 0) {
            m_err << where << "no item is labelled \"" << label << "\"\n";
            return kExitUsage;
        }
        CParamItem* item = gw::RecordItemAt(record, row);
        const std::string itemName = where + gw::TrimTrailingBlanks(item->label);
        // Side effects count as much as the item itself (rows a choice enables or resets, the
        // name a slave address gives its node): the file is written whenever the model changed.
        std::string before;
        const bool pictured = PictureModel(m_root, &before);
        const CommitOutcome outcome = gw::CommitEdit(m_root, record, row, value);
        switch (outcome.refusal) {
        case CommitRefusal::None:
            break;
        case CommitRefusal::Check:
            m_err << itemName << ": " << gw::ResultMessage(outcome.code) << " (\"" << value << "\")\n";
            return static_cast<int>(outcome.code);
        case CommitRefusal::NotAChoice:
            m_err << itemName << ": \"" << value << "\" is " << gw::NotAChoiceText(*item) << '\n';
            return static_cast<int>(outcome.code);
        case CommitRefusal::ReadOnly:
        case CommitRefusal::WrongEditor:
            m_err << itemName << ": the item is read-only\n";
            return kExitRefused;
        case CommitRefusal::NoItem:
            m_err << where << "no item is labelled \"" << label << "\"\n";
            return kExitUsage;
        }
        std::string after;
        if (!pictured || !PictureModel(m_root, &after) || after != before) {
            if (const int status = Save(file); status != 0)
                return status;
        }
        // Reported only once it is in the file.
        m_out << gw::TrimTrailingBlanks(item->label) << " = " << outcome.value << '\n';
        if (outcome.modeSwitched)
            m_out << "Subnet protocol: " << m_root.Subnet().GetItemAt(SUBNET_ROW_PROTOCOL)->value << '\n';
        if (outcome.renamed)
            m_out << "Slave node renamed " << record.slave->GetName() << '\n';
        return 0;
    }

    int AddCommand(const std::string& file, int code)
    {
        if (const int status = LoadForChange(file); status != 0)
            return status;
        int index = kUnknownFunctionIndex;
        gw::GetFunctionByCode(code, &index);
        if (!gw::IsSupportedFunctionIndex(index)) {
            m_err << file << ": Modbus function code " << code
                  << " cannot be configured; use 1, 2, 3, 4, 5, 6, 15 or 16\n";
            return kExitUsage;
        }
        CSubnetNode& subnet = m_root.Subnet();
        if (subnet.GetMode() != MODE_MODBUS_MASTER) {
            m_err << file << ": the subnet is in \"" << gw::GetLangString(ChoiceText::UserConfig)
                  << "\" mode; Modbus commands need \"" << gw::GetLangString(ChoiceText::ModbusMaster) << "\"\n";
            return kExitRefused;
        }
        CSlaveNode* slave = subnet.GetNodeAt(0);
        std::string said;
        if (!slave) {
            slave = gw::AddSlaveNode(m_root, TreeRecord::ForNode(RECORD_SUBNET, &subnet));
            said = "Added slave node " + slave->GetName() + '\n';
        }
        const AddCommandResult added = gw::AddCommandTo(slave, index);
        if (added.limitReached) {
            m_err << file << ": " << slave->GetName() << ": " << added.message << '\n';
            return kExitRefused;
        }
        said += "Added command " + std::to_string(slave->GetCommandCount()) + ": " + added.command->GetName() + '\n';
        return SaveThenSay(file, said);
    }

    int DeleteCommand(const std::string& file, int number)
    {
        if (const int status = LoadForChange(file); status != 0)
            return status;
        CSlaveNode* slave = m_root.Subnet().GetNodeAt(0);
        CModbusCommand* command = slave ? slave->GetCommandAt(number - 1) : nullptr;
        if (!command) {
            m_err << file << ": there is no command " << number << " (the configuration has "
                  << (slave ? slave->GetCommandCount() : 0) << ")\n";
            return kExitUsage;
        }
        const std::string name = command->GetName();
        gw::DeleteCommandFrom(slave, command);
        return SaveThenSay(file, "Deleted command " + std::to_string(number) + ": " + name + '\n');
    }

    int Check(const std::string& file)
    {
        if (const int status = Load(file); status != 0)
            return status;
        if (const Outcome empty = m_root.CheckEmpty(); !empty) {
            m_err << file << ": " << gw::MessageOnOneLine(empty.message) << '\n';
            return static_cast<int>(empty.code);
        }
        std::vector<ValueFault> faults = gw::CheckItemValues(m_root);
        if (faults.empty())
            faults = gw::CheckDataPastLastAddress(m_root);
        if (!faults.empty()) {
            for (const ValueFault& fault : faults)
                m_err << file << ": " << gw::DescribeValueFault(fault) << '\n';
            return static_cast<int>(faults.front().code);
        }
        if (const ResultCode code = gw::CheckMapping(m_root); code != RESULT_OK) {
            m_err << file << ": " << gw::ResultMessage(code) << '\n';
            gw::PrintMappingFaults(m_root.Subnet(), m_err, "  ");
            return static_cast<int>(code);
        }
        m_out << file << ": no faults found\n";
        return 0;
    }

    int Automap(const std::string& file)
    {
        if (const int status = LoadForChange(file); status != 0)
            return status;
        if (m_root.Subnet().GetMode() != MODE_MODBUS_MASTER) {
            m_err << file << ": automatic mapping needs the subnet in \"" << gw::GetLangString(ChoiceText::ModbusMaster) << "\" mode\n";
            return kExitRefused;
        }
        const AutoMapResult result = gw::AutoMap(m_root);
        // The addresses are assigned even when an area overflows, so the file is written either way;
        // what was assigned is reported once it is in the file.
        if (const int status = Save(file); status != 0)
            return status;
        int number = 0;
        for (const auto& slave : m_root.Subnet().Nodes()) {
            for (const auto& command : slave->Commands()) {
                const CParamItem* address = command->GetItemAt(CMD_ROW_MAP_ADDRESS);
                const CParamItem* bytes = command->GetItemAt(CMD_ROW_BYTE_COUNT);
                m_out << slave->GetName() << " command " << ++number << " (" << command->GetName()
                      << "): " << (address ? address->value : "-") << ", " << (bytes ? bytes->value : "-")
                      << " byte(s)\n";
            }
        }
        if (result.result == 0) {
            m_err << file << ": " << result.message << '\n';
            return static_cast<int>(RESULT_MAPPING_OVERFLOW);
        }
        return 0;
    }

    int Map(const std::string& file, const std::string& svgPath)
    {
        if (const int status = Load(file); status != 0)
            return status;
        gw::PrintMemoryMap(m_root.Subnet(), m_out);
        if (const Outcome written = svgPath.empty() ? Outcome{} : gw::ReplaceFileContents(svgPath, gw::RenderMemoryMapSvg(m_root.Subnet()));
            !written) {
            m_err << svgPath << ": cannot write the picture: " << written.message << '\n';
            return kExitCannotWrite;
        }
        return 0;
    }

private:
    // Loads a file the command will write back, holding its change lock till the command ends.
    int LoadForChange(const std::string& file)
    {
        if (const int status = gw::LockForChange(m_lock, file, m_err); status != 0)
            return status;
        return Load(file);
    }

    int Load(const std::string& file)
    {
        const FileResult result = gw::LoadFile(m_root, file);
        if (result.ok)
            return 0;
        m_err << (result.languageMismatch ? file + ": " : std::string()) << result.message << '\n';
        return kExitBadFile;
    }

    // Saves, then tells what was done: nothing is reported that did not reach the file.
    int SaveThenSay(const std::string& file, const std::string& said)
    {
        const int status = Save(file);
        if (status == 0)
            m_out << said;
        return status;
    }

    int Save(const std::string& file)
    {
        const FileResult result = gw::SaveFile(m_root, file);
        if (result.ok)
            return 0;
        m_err << result.message << '\n';
        return kExitCannotWrite;
    }

    std::ostream& m_out;
    std::ostream& m_err;
    CDeviceConfig m_root;
    CChangeLock m_lock;
};

} // namespace

int gw::RunGatewayCfg(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{"gatewaycfg: edit, check and transfer configurations of the PROFIBUS-DP / serial gateway module",
                 "gatewaycfg"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("gatewaycfg ") + BuildVersion());
    app.footer("Exit status: 0 on success; the result code of a failed operation (6 an empty item, 7 an illegal\n"
               "character, 8 out of range ...); 1 refused by a rule; 64 bad usage; 65 a file that cannot be read;\n"
               "74 a file that cannot be written; 75 another program is changing the file; 130, 143, 129 a\n"
               "transfer stopped by SIGINT, SIGTERM, SIGHUP.");

    gw::SetActiveLanguage(SystemLanguage());
    Tool tool(out, err);
    app.add_option_function<std::string>(
           "--lang", [&](const std::string& code) { tool.UseLanguage(*ParseLanguage(code)); },
           "Language of the texts and of the files written: en or zh (default: the system locale's)")
        ->check(CLI::IsMember({"en", "zh"}));
    std::function<int()> action;
    std::string file, node, label, value;
    int number = 0;
    bool force = false;

    auto* cmdNew = app.add_subcommand("new", "Write a new default configuration to FILE");
    cmdNew->add_option("FILE", file, "Configuration file (.xml)")->required();
    cmdNew->add_flag("-f,--force", force, "Replace FILE if it exists");
    cmdNew->callback([&] { action = [&] { return tool.New(file, force); }; });

    auto* cmdShow = app.add_subcommand("show", "Print the tree and every item as 'label = value'");
    cmdShow->add_option("FILE", file, "Configuration file")->required();
    cmdShow->callback([&] { action = [&] { return tool.Show(file); }; });

    auto* cmdSet = app.add_subcommand("set", "Edit one item through the property grid's checks");
    cmdSet->add_option("FILE", file, "Configuration file")->required();
    cmdSet->add_option("NODE", node, "profibus, subnet, slave or command:N (N from 1)")->required();
    cmdSet->add_option("LABEL", label, "The item's label, as 'show' prints it")->required();
    cmdSet->add_option("VALUE", value, "The new value")->required();
    cmdSet->callback([&] { action = [&] { return tool.Set(file, node, label, value); }; });

    auto* cmdAdd = app.add_subcommand("add-command", "Add a Modbus command of function CODE (1-6, 15, 16)");
    cmdAdd->add_option("FILE", file, "Configuration file")->required();
    cmdAdd->add_option("CODE", number, "Modbus function code")->required();
    cmdAdd->callback([&] { action = [&] { return tool.AddCommand(file, number); }; });

    auto* cmdDelete = app.add_subcommand("delete-command", "Delete command N (counted from 1)");
    cmdDelete->add_option("FILE", file, "Configuration file")->required();
    cmdDelete->add_option("N", number, "Command number")->required()->check(CLI::Range(1, std::numeric_limits<int>::max()));
    cmdDelete->callback([&] { action = [&] { return tool.DeleteCommand(file, number); }; });

    auto* cmdCheck = app.add_subcommand("check", "Run the download's pre-checks and report the first fault");
    cmdCheck->add_option("FILE", file, "Configuration file")->required();
    cmdCheck->callback([&] { action = [&] { return tool.Check(file); }; });

    auto* cmdAutomap = app.add_subcommand("automap", "Assign every command's mapping address and byte count");
    cmdAutomap->add_option("FILE", file, "Configuration file")->required();
    cmdAutomap->callback([&] { action = [&] { return tool.Automap(file); }; });

    std::string svgPath;
    auto* cmdMap = app.add_subcommand("map", "Print both memory areas bit by bit, with conflicts and overflows");
    cmdMap->add_option("FILE", file, "Configuration file")->required();
    cmdMap->add_option("--svg", svgPath, "Also draw the two areas as an SVG picture into OUT");
    cmdMap->callback([&] { action = [&] { return tool.Map(file, svgPath); }; });

    std::string workbookPath;
    auto* cmdExport = app.add_subcommand("export", "Write the configuration as an .xlsx workbook into OUT");
    cmdExport->add_option("FILE", file, "Configuration file")->required();
    cmdExport->add_option("OUT", workbookPath, "Workbook to write (.xlsx); replaced if it exists")->required();
    cmdExport->callback([&] { action = [&] { return RunExportCommand(file, workbookPath, out, err); }; });

    TransferCommandOptions transfer;
    // FILE, --port and --trace, as every transfer over the module's line takes them.
    const auto addTransfer = [&](const char* name, const char* what, const char* fileHelp) {
        CLI::App* command = app.add_subcommand(name, what);
        command->add_option("FILE", transfer.file, fileHelp)->required();
        command->add_option("-p,--port", transfer.port, kPortHelp)->required();
        command->add_flag("--trace", transfer.trace, "Print every frame both ways in hex");
        return command;
    };
    auto* cmdDownload = addTransfer("download", "Write the configuration in FILE into the module on --port",
                                    "Configuration file");
    cmdDownload->add_flag("--verify", transfer.verify, "Read the module back afterwards and compare (exit 1 on a difference)");
    cmdDownload->callback([&] { action = [&] { return RunDownloadCommand(transfer, out, err); }; });

    auto* cmdUpload = addTransfer("upload", "Read the module's configuration on --port into FILE",
                                  "Configuration file (created when it does not exist)");
    cmdUpload->callback([&] { action = [&] { return RunUploadCommand(transfer, out, err); }; });

    auto* cmdVerify = addTransfer("verify", "Compare the module on --port with FILE as the module keeps it; FILE is not written",
                                  "Configuration file");
    cmdVerify->add_flag("--json", transfer.json, "Print the differences as JSON");
    cmdVerify->callback([&] { action = [&] { return RunVerifyCommand(transfer, out, err); }; });

    DiffCommandOptions diff;
    AddDiffCommand(app, diff, action, out, err);

    AddProbeCommand(app, action, out, err);
    AddHandoverCommands(app, action, out, err);

    AddFleetCommand(app, action, out, err);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, out, err);
        return status == 0 ? 0 : kExitUsage;
    }
    return action ? action() : kExitUsage;
}
