#pragma once
// The XML configuration file: root "Nordaq" with the "Company" and "Product" headers, the
// "Subnet" and the "PROFIBUS" nodes, every item stored with its whole description. Texts are
// written as GB2312/GBK bytes and read back into UTF-8 (a file that starts with a UTF-8
// byte-order mark, as text editors write, is read as UTF-8 whatever its declaration says). A
// file that declares another encoding, or holds a reference the reader would change, is refused
// (character_references.h); so is anything but a regular file (regular_file.h).

#include <cstddef>
#include <ctime>
#include <string>

class CDeviceConfig;

struct FileResult {
    bool ok = false;
    bool languageMismatch = false;   // the file was written by the other language's build
    std::string message;             // what went wrong, with the path and, where known, the line
    std::string savedAt;             // reading: the save time the file records; empty when it has none
};

namespace gw {

// Writes the whole configuration to path. The file is written to a temporary file in the same
// folder and renamed over the old one only when it is complete, so a failed save leaves the old
// file as it was.
FileResult SaveFile(const CDeviceConfig& root, const std::string& path);

} // namespace gw

// Files larger than this are refused before they are parsed.
inline constexpr std::size_t kMaxConfigFileBytes = 16u << 20;

namespace gw {

// Reads a configuration from path into root. The file is read into a fresh configuration first;
// root is replaced only when the whole file was read, so a refused file changes nothing.
FileResult LoadFile(CDeviceConfig& root, const std::string& path);

// The document text SaveFile writes (GBK bytes), and the reading of such a text, for callers
// that keep configurations elsewhere than in a file. sourceName names the text in messages.
FileResult WriteConfigText(const CDeviceConfig& root, std::string* text);
FileResult ReadConfigText(CDeviceConfig& root, std::string text, const std::string& sourceName);

// A time as a file records its save time: "2024-05-01 14:03:09", local time.
std::string LocalDateTimeText(std::time_t when);

} // namespace gw
