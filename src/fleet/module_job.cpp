#include "fleet/module_job.h"

#include "commission/modbus_master.h"
#include "commission/probe_run.h"
#include "compare/diff_format.h"
#include "file/change_lock.h"
#include "file/config_file.h"
#include "model/config_copy.h"
#include "model/lang_strings.h"

namespace {

// Passes everything on, and keeps the messages shown on the way for the module's message.
class CNoticeKeeper : public CLinkObserver {
public:
    explicit CNoticeKeeper(CLinkObserver* next) : m_next(next) {}

    void ShowMessage(const std::string& text) override
    {
        m_notices += gw::MessageOnOneLine(text) + "; ";
        if (m_next)
            m_next->ShowMessage(text);
    }
    void OnFrame(FrameDirection direction, std::span<const std::uint8_t> bytes) override
    {
        if (m_next)
            m_next->OnFrame(direction, bytes);
    }
    void OnProgress(int done, int planned) override
    {
        if (m_next)
            m_next->OnProgress(done, planned);
    }

    // The notices, then the closing message.
    std::string With(const std::string& message) const { return m_notices + gw::MessageOnOneLine(message); }

private:
    CLinkObserver* m_next;
    std::string m_notices;
};

// A transfer's closing message, after the notices on its way; a stopped run was interrupted.
std::string TransferMessage(const CNoticeKeeper& keeper, const TransferOutcome& transfer)
{
    if (transfer.code == RESULT_STOPPED)
        return std::string("interrupted") + (transfer.partlyDownloaded ? "; " + gw::MessageOnOneLine(gw::PartlyDownloadedText()) : "");
    return keeper.With(transfer.message);
}

ModuleOutcome Ended(int code, std::string message, std::string file)
{
    return {code, std::move(message), std::move(file)};
}

// What a module's action works with: its plan, its file and its observer.
struct Job {
    const FleetPlan& plan;
    const PlanModule& module;
    CPlanFiles& files;
    CNoticeKeeper& keeper;
    const std::atomic<bool>* stop;

    bool Load(CDeviceConfig& root, ModuleOutcome& failed) const
    {
        const Outcome loaded = files.Load(module.filePath, root);
        if (!loaded)
            failed = Ended(kModuleBadFile, gw::MessageOnOneLine(loaded.message), module.file);
        return loaded.Ok();
    }
};

const HardwareVersion* Expected(const PlanModule& module) { return module.hardware ? &*module.hardware : nullptr; }

ModuleOutcome Download(const Job& job, CDeviceConfig& root)
{
    const auto& [plan, module, files, keeper, stop] = job;
    const TransferOutcome sent =
        gw::RunTransfer(TransferDirection::Download, module.port, root, &keeper, nullptr, stop, Expected(module));
    return Ended(static_cast<int>(sent.code), TransferMessage(keeper, sent), module.file);
}

ModuleOutcome Verify(const Job& job, const CDeviceConfig& root)
{
    const auto& [plan, module, files, keeper, stop] = job;
    const ModuleComparison compared = gw::CompareWithModule(module.port, root, &keeper, stop, Expected(module));
    if (compared.transfer.code != RESULT_OK)
        return Ended(static_cast<int>(compared.transfer.code), TransferMessage(keeper, compared.transfer), module.file);
    const std::string held = "the module (hardware " + gw::HardwareVersionText(compared.transfer.version) + ")";
    if (compared.differences.empty())
        return Ended(0, held + " holds what the file says", module.file);
    return Ended(kModuleDifferent,
                 held + " differs in " + std::to_string(compared.differences.size()) +
                     " item(s), first " + gw::FormatDifference(compared.differences.front()),
                 module.file);
}

ModuleOutcome Upload(const Job& job)
{
    const auto& [plan, module, files, keeper, stop] = job;
    const std::filesystem::path target = gw::UploadTarget(plan, module);
    const std::string written = target.lexically_relative(plan.folder).string();
    if (gw::IsPlanFile(plan, target))
        return Ended(kModuleCannotWrite,
                     written + " is one of the plan's own files: an upload writes NAME.xml beside the plan, never over "
                               "them (name the module differently)",
                     written);
    // NAME.xml is written under its change lock, as gatewaycfg upload writes its file.
    CChangeLock lock;
    if (const ChangeLockAttempt attempt = lock.Lock(target.string(), kChangeLockWaitMilliseconds);
        attempt.outcome == ChangeLockOutcome::Busy)
        return Ended(kModuleFileBusy, written + ": " + attempt.why + " is changing the file; try again once it is done",
                     written);
    CDeviceConfig root;
    ModuleOutcome outcome;
    std::error_code ec;
    // Items the module does not report keep the values of the module's file, when there is one.
    if (!module.file.empty() && std::filesystem::exists(module.filePath, ec) && !job.Load(root, outcome))
        return outcome;
    const TransferOutcome read =
        gw::RunTransfer(TransferDirection::Upload, module.port, root, &keeper, nullptr, stop, Expected(module));
    if (read.code != RESULT_OK)
        return Ended(static_cast<int>(read.code), TransferMessage(keeper, read), written);
    if (const FileResult saved = gw::SaveFile(root, target.string()); !saved.ok)
        return Ended(kModuleCannotWrite, gw::MessageOnOneLine(saved.message), written);
    std::string message = gw::MessageOnOneLine(read.message) + " into " + written;
    if (!read.valueFaults.empty())
        message += "; " + gw::MessageOnOneLine(gw::UploadedValueFaultsText(read.valueFaults));
    return Ended(0, message, written);
}

ModuleOutcome Probe(const Job& job, const CDeviceConfig& root)
{
    const auto& [plan, module, files, keeper, stop] = job;
    if (const Outcome checked = gw::CheckBeforeCommissioning(root); !checked)
        return Ended(static_cast<int>(checked.code), gw::MessageOnOneLine(checked.message) + " (nothing was sent)", module.file);
    ProbeSetup setup;
    if (const Outcome read = gw::ReadProbeSetup(root, setup); !read)
        return Ended(kModuleDifferent, read.message + " (nothing was sent)", module.file);
    CModbusMaster master;
    master.SetStopFlag(stop);
    master.SetObserver(&keeper);
    if (const OpenOutcome opened = master.Open(module.port, setup.line); !opened.ok)
        return Ended(RESULT_PORT_NOT_OPENED, gw::MessageOnOneLine(opened.message), module.file);
    const int total = static_cast<int>(setup.commands.size());
    int failed = 0;
    std::string first;
    const std::vector<CommandPoll> polls = gw::PollCommands(master, setup, {}, {}, [&](const CommandPoll& poll) {
        keeper.OnProgress(poll.number, total);
        if (poll.outcome.status != PollStatus::Ok && poll.outcome.status != PollStatus::Skipped && failed++ == 0)
            first = "command " + std::to_string(poll.number) + ": " + gw::PollStatusName(poll.outcome.status) +
                    (poll.outcome.detail.empty() ? "" : " (" + poll.outcome.detail + ")");
        return true;
    });
    if (stop && stop->load())
        return Ended(RESULT_STOPPED, "interrupted", module.file);
    const int answered = static_cast<int>(std::count_if(polls.begin(), polls.end(), [](const CommandPoll& poll) {
        return poll.outcome.status == PollStatus::Ok;
    }));
    const std::string count = std::to_string(answered) + " of " + std::to_string(total) + " command(s) answered";
    if (failed > 0)
        return Ended(kModuleProbeFailed, count + "; " + first, module.file);
    return Ended(0, count, module.file);
}

} // namespace

ModuleComparison gw::CompareWithModule(const std::string& port, const CDeviceConfig& root, CLinkObserver* observer,
                                       const std::atomic<bool>* stop, const HardwareVersion* expectedVersion)
{
    ModuleComparison compared;
    CDeviceConfig read;
    gw::CopyConfiguration(root, read);
    compared.transfer = gw::RunTransfer(TransferDirection::Upload, port, read, observer, nullptr, stop, expectedVersion);
    if (compared.transfer.code == RESULT_OK)
        compared.differences = CompareModuleScope(root, read, compared.transfer.version);
    return compared;
}

Outcome CPlanFiles::Load(const std::filesystem::path& path, CDeviceConfig& root)
{
    File* file = nullptr;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        auto& slot = m_files[path];
        if (!slot)
            slot = std::make_unique<File>();
        file = slot.get();
    }
    std::call_once(file->read, [&] {
        const FileResult loaded = gw::LoadFile(file->root, path.string());
        file->ok = loaded.ok;
        file->message = loaded.message;
    });
    if (!file->ok)
        return gw::Failure(file->message);
    gw::CopyConfiguration(file->root, root);
    return {};
}

ModuleOutcome gw::RunModuleAction(const FleetPlan& plan, const PlanModule& module, FleetAction action, CPlanFiles& files,
                                  CLinkObserver* observer, const std::atomic<bool>* stop)
{
    CNoticeKeeper keeper(observer);
    const Job job{plan, module, files, keeper, stop};
    if (action == FleetAction::Upload)
        return Upload(job);
    // Every other action starts from the module's file.
    CDeviceConfig root;
    if (ModuleOutcome failed; !job.Load(root, failed))
        return failed;
    switch (action) {
    case FleetAction::Download: return Download(job, root);
    case FleetAction::Verify: return Verify(job, root);
    case FleetAction::Upload:
    case FleetAction::Probe: break;
    }
    return Probe(job, root);
}
