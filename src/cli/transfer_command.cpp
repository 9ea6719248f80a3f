#include "cli/transfer_command.h"

#include <ctime>
#include <filesystem>
#include <iostream>

#include <unistd.h>

#include "cli/change_guard.h"
#include "cli/diff_command.h"
#include "cli/exit_codes.h"
#include "model/result_codes.h"
#include "file/config_file.h"
#include "fleet/module_job.h"
#include "link/frame_text.h"
#include "link/interrupt_signals.h"
#include "link/transfer_run.h"
#include "model/lang_strings.h"

namespace {

class CCliTransferObserver : public CLinkObserver {
public:
    CCliTransferObserver(const TransferCommandOptions& options, std::ostream& out, std::ostream& err)
        : m_options(options), m_out(out), m_err(err), m_interactive(&err == &std::cerr && isatty(STDERR_FILENO))
    {
    }
    ~CCliTransferObserver() override { EndProgress(); }

    void ShowMessage(const std::string& text) override
    {
        EndProgress();
        m_err << m_options.file << ": " << gw::MessageOnOneLine(text) << '\n';
    }

    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        if (!m_options.trace || bytes.empty())
            return;
        m_out << gw::FormatFrame(direction, bytes) << '\n';
    }

    void OnProgress(int done, int planned) override
    {
        if (done == 0)
            return;
        // The total is shown once the module has told enough to know it.
        const std::string total = planned > 0 ? " of " + std::to_string(planned) : std::string();
        // On a terminal the line is rewritten in place; into a log each exchange gets its line.
        if (!m_interactive) {
            m_err << "exchange " << done << total << '\n';
            return;
        }
        m_err << "\rexchange " << done << total << std::flush;
        m_progressShown = true;
    }

    void EndProgress()
    {
        if (m_progressShown)
            m_err << '\n';
        m_progressShown = false;
    }

private:
    const TransferCommandOptions& m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_interactive = false;
    bool m_progressShown = false;
};

bool Interrupted() { return CInterruptSignals::Received() != 0; }

// A run that SIGINT, SIGTERM or SIGHUP ended: the port is closed and its lock gone by now.
int ReportInterrupted(const TransferCommandOptions& options, const TransferOutcome& outcome, std::ostream& err)
{
    err << options.file << " via " << options.port << ": interrupted\n";
    if (outcome.partlyDownloaded)
        err << options.file << ": " << gw::PartlyDownloadedText() << '\n';
    return CInterruptSignals::ExitStatus();
}

int Report(const TransferCommandOptions& options, const TransferOutcome& outcome, CCliTransferObserver& observer,
           std::ostream& out, std::ostream& err)
{
    observer.EndProgress();
    if (Interrupted())
        return ReportInterrupted(options, outcome, err);
    if (outcome.code == RESULT_OK) {
        out << gw::MessageOnOneLine(outcome.message) << '\n';
        for (const ValueFault& fault : outcome.valueFaults)
            out << options.file << ": " << gw::DescribeValueFault(fault) << '\n';
        return 0;
    }
    err << options.file << " via " << options.port << ": " << gw::MessageOnOneLine(outcome.message) << '\n';
    return static_cast<int>(outcome.code);
}

// Uploads into a copy of root and prints how the module differs from root.
int ReportModuleComparison(const TransferCommandOptions& options, const CDeviceConfig& root, std::ostream& out,
                           std::ostream& err)
{
    // With --json the trace keeps out of the document.
    CCliTransferObserver observer(options, options.json ? err : out, err);
    const ModuleComparison compared = gw::CompareWithModule(options.port, root, &observer, &CInterruptSignals::StopFlag());
    observer.EndProgress();
    if (Interrupted())
        return ReportInterrupted(options, compared.transfer, err);
    if (compared.transfer.code != RESULT_OK) {
        err << options.file << " via " << options.port << ": " << gw::MessageOnOneLine(compared.transfer.message) << '\n';
        return static_cast<int>(compared.transfer.code);
    }
    const std::string version = gw::HardwareVersionText(compared.transfer.version);
    if (!options.json) {
        if (compared.differences.empty())
            out << options.file << ": the module (hardware " << version << ") holds what the file says\n";
        else
            err << options.file << " via " << options.port << ": the module (hardware " << version << ") differs in "
                << compared.differences.size() << " item(s)\n";
    }
    // The report shows what module was read and when.
    return gw::PrintDifferences(compared.differences, options.json, out,
                            {{"hardware", version}, {"date", gw::LocalDateTimeText(std::time(nullptr))}});
}

} // namespace

int gw::RunVerifyCommand(const TransferCommandOptions& options, std::ostream& out, std::ostream& err)
{
    const CInterruptSignals signals;
    CDeviceConfig root;
    if (const FileResult loaded = LoadFile(root, options.file); !loaded.ok) {
        err << (loaded.languageMismatch ? options.file + ": " : std::string()) << loaded.message << '\n';
        return kExitBadFile;
    }
    return ReportModuleComparison(options, root, out, err);
}

int gw::RunDownloadCommand(const TransferCommandOptions& options, std::ostream& out, std::ostream& err)
{
    const CInterruptSignals signals;
    CDeviceConfig root;
    if (const FileResult loaded = LoadFile(root, options.file); !loaded.ok) {
        err << (loaded.languageMismatch ? options.file + ": " : std::string()) << loaded.message << '\n';
        return kExitBadFile;
    }
    CCliTransferObserver observer(options, out, err);
    const TransferOutcome outcome =
        RunTransfer(TransferDirection::Download, options.port, root, &observer, nullptr, &CInterruptSignals::StopFlag());
    const int status = Report(options, outcome, observer, out, err);
    if (status != 0 || !options.verify)
        return status;
    return ReportModuleComparison(options, root, out, err);
}

int gw::RunUploadCommand(const TransferCommandOptions& options, std::ostream& out, std::ostream& err)
{
    const CInterruptSignals signals;
    CChangeLock lock;
    if (const int status = LockForChange(lock, options.file, err); status != 0)
        return status;
    CDeviceConfig root;
    std::error_code ec;
    if (std::filesystem::exists(options.file, ec)) {
        if (const FileResult loaded = LoadFile(root, options.file); !loaded.ok) {
            err << (loaded.languageMismatch ? options.file + ": " : std::string()) << loaded.message << '\n';
            return kExitBadFile;
        }
    }
    CCliTransferObserver observer(options, out, err);
    const TransferOutcome outcome =
        RunTransfer(TransferDirection::Upload, options.port, root, &observer, nullptr, &CInterruptSignals::StopFlag());
    // Success is reported only once the configuration is in FILE; an interrupted run writes nothing.
    if (outcome.code == RESULT_OK && !Interrupted()) {
        if (const FileResult saved = SaveFile(root, options.file); !saved.ok) {
            observer.EndProgress();
            err << saved.message << '\n';
            return kExitCannotWrite;
        }
    }
    return Report(options, outcome, observer, out, err);
}
