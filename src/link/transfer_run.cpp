#include "link/transfer_run.h"

#include "link/download.h"
#include "link/upload.h"
#include "model/lang_strings.h"

std::string gw::TransferTitle(TransferDirection direction)
{
    return GetLangString(direction == TransferDirection::Download ? AppText::DownloadTitle : AppText::UploadTitle);
}

std::string gw::UploadedValueFaultsText(const std::vector<ValueFault>& faults)
{
    std::string text = "The module holds values that no edit would accept:";
    for (const ValueFault& fault : faults)
        text += "\r\n" + DescribeValueFault(fault);
    return text;
}

std::string gw::PartlyDownloadedText()
{
    return "The module may now hold part of the configuration: download again, or run verify to see what it holds.";
}

TransferOutcome gw::RunTransfer(TransferDirection direction, const std::string& device, CDeviceConfig& root,
                                CLinkObserver* observer, const LinkTimings* timings, const std::atomic<bool>* stop,
                                const HardwareVersion* expectedVersion)
{
    TransferOutcome outcome;
    CPortSlot slot;
    slot.SetObserver(observer);
    slot.SetStopRequest(stop);
    if (expectedVersion)
        slot.ExpectVersion(*expectedVersion);
    if (timings)
        slot.Timings() = *timings;
    if (slot.StopRequested()) {
        outcome.code = RESULT_STOPPED;
        outcome.message = ResultMessage(outcome.code);
        return outcome;
    }
    if (const Outcome opened = OpenPort(slot, device); !opened) {
        outcome.code = opened.code;
        outcome.message = GetLangString(MessageText::PortOpenFailed) + (opened.message.empty() ? "" : "\n" + opened.message);
        return outcome;
    }
    if (direction == TransferDirection::Download) {
        bool configurationSent = false;
        outcome.code = Download(slot, root, &configurationSent);
        outcome.message = outcome.code == RESULT_OK ? GetLangString(MessageText::DownloadSucceeded) : ResultMessage(outcome.code);
        outcome.partlyDownloaded = outcome.code != RESULT_OK && configurationSent;
        if (outcome.partlyDownloaded)
            outcome.message += "\n" + PartlyDownloadedText();
    } else {
        outcome.code = Upload(slot, root, &outcome.version);
        outcome.configurationReplaced = outcome.code == RESULT_OK;
        if (outcome.configurationReplaced)
            outcome.valueFaults = CheckItemValues(root);
        outcome.message = outcome.code == RESULT_OK ? GetLangString(MessageText::UploadSucceeded) : ResultMessage(outcome.code);
    }
    slot.Close();
    return outcome;
}
