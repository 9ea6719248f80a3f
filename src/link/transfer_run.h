#pragma once
// One download or upload run as the user starts it: the port is opened, the transfer runs,
// the port is closed, and the run ends with one message for the user.

#include <atomic>
#include <string>

#include "link/serial_port.h"
#include "model/wire_layout.h"
#include "model/device_config.h"
#include "model/value_rules.h"

enum class TransferDirection { Upload = 0, Download = 1 };

struct TransferOutcome {
    ResultCode code = RESULT_OK;   // 4 when the port could not be opened, RESULT_STOPPED on request
    std::string message;           // the text that ends the run
    // A download that failed or was stopped after its first configuration frame: the module may
    // now hold part of the configuration (the message says so and what to do).
    bool partlyDownloaded = false;
    bool configurationReplaced = false;   // a successful upload: the views must be rebuilt
    // After a successful upload: values the module holds that no edit would accept. The upload
    // stands (the module holds them); they are listed after the success message.
    std::vector<ValueFault> valueFaults;
    HardwareVersion version;       // what the module reported (an upload that got that far)
};

namespace gw {

// The list of an upload's value faults as one message: a heading, then a line for each.
std::string UploadedValueFaultsText(const std::vector<ValueFault>& faults);

// Caption and button text of the transfer dialog: "Download " or "Upload".
std::string TransferTitle(TransferDirection direction);

// What a failed or stopped download adds when it got as far as the configuration frames.
std::string PartlyDownloadedText();

// The run. Messages that the transfer shows on its way go to the observer; the closing message
// comes back in the outcome. timings, when given, replace the line's time limits. stop, when
// given, ends the run at once when it turns true (RESULT_STOPPED; the port is closed and its
// lock removed before the run returns). expectedVersion, when given, is the hardware version
// the module must report (9 otherwise, before anything is written).
TransferOutcome RunTransfer(TransferDirection direction, const std::string& device, CDeviceConfig& root,
                            CLinkObserver* observer = nullptr, const LinkTimings* timings = nullptr,
                            const std::atomic<bool>* stop = nullptr, const HardwareVersion* expectedVersion = nullptr);

} // namespace gw
