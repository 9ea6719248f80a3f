// Fuzzes the configuration file reader with arbitrary file contents. Every input must be either
// accepted or refused with a message; an accepted one is written out again, and that text must
// be accepted too and must write out the same way (a configuration survives save and reopen).

#include <cstddef>
#include <cstdint>
#include <string>

#include "file/config_file.h"
#include "fuzz_support.h"
#include "model/device_config.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
    FuzzFailure("config_file_fuzz", what, detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    CDeviceConfig root;
    const FileResult loaded = gw::ReadConfigText(root, input, "input.xml");
    if (!loaded.ok) {
        if (loaded.message.empty())
            Fail("a refused file came without a message", input);
        return 0;
    }

    std::string saved;
    const FileResult written = gw::WriteConfigText(root, &saved);
    if (!written.ok) {
        // A UTF-8 file may hold characters the GB2312/GBK file text cannot; that save is refused.
        if (written.message.empty())
            Fail("a refused save came without a message", input);
        return 0;
    }

    CDeviceConfig reopened;
    const FileResult reloaded = gw::ReadConfigText(reopened, saved, "saved.xml");
    if (!reloaded.ok)
        Fail(("the saved text was refused: " + reloaded.message).c_str(), saved);

    std::string again;
    if (!gw::WriteConfigText(reopened, &again).ok)
        Fail("the reopened configuration cannot be saved", saved);
    if (WithoutDateTime(again) != WithoutDateTime(saved))
        Fail("saving the reopened configuration gives another text", saved + "\n----\n" + again);
    return 0;
}
