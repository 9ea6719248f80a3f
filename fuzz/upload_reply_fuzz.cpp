// Fuzzes the upload with arbitrary module replies: the input is played back by a line in memory,
// each read taking the next bytes. Every upload must end with one of its result codes; a failed
// one leaves the configuration exactly as it was, and a successful one gives a configuration of
// at most 48 commands that saves to a file which opens again.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "file/config_file.h"
#include "fuzz_support.h"
#include "link/memory_line.h"
#include "link/upload.h"
#include "model/device_config.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
    FuzzFailure("upload_reply_fuzz", what, detail);
}

std::string TextOf(const CDeviceConfig& root)
{
    std::string text;
    if (!gw::WriteConfigText(root, &text).ok)
        return {};
    return WithoutDateTime(text);
}

bool IsUploadCode(ResultCode code)
{
    return code == RESULT_OK || code == RESULT_REPLY_MISMATCH || code == RESULT_SERIAL_IO ||
           code == RESULT_VERSION_MISMATCH || code == RESULT_COMMAND_UPLOAD;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string kUntouched = TextOf(CDeviceConfig());

    CDeviceConfig root;
    CPortSlot slot;
    gw::AttachLine(slot, std::make_unique<CMemoryLine>(std::span(data, size)));
    const ResultCode code = gw::Upload(slot, root);
    if (!IsUploadCode(code))
        Fail("the upload ended with a code it does not have", std::to_string(code));
    if (code != RESULT_OK) {
        if (TextOf(root) != kUntouched)
            Fail("a failed upload changed the configuration", TextOf(root));
        return 0;
    }
    if (root.GetCommandCount() > kMaxCommandsPerSlave)
        Fail("an upload gave more commands than a slave node holds", std::to_string(root.GetCommandCount()));
    std::string saved;
    const FileResult written = gw::WriteConfigText(root, &saved);
    if (!written.ok)
        Fail("an uploaded configuration cannot be saved", written.message);
    CDeviceConfig reopened;
    const FileResult reloaded = gw::ReadConfigText(reopened, saved, "uploaded.xml");
    if (!reloaded.ok)
        Fail(("the saved upload was refused: " + reloaded.message).c_str(), saved);
    return 0;
}
