#pragma once
// A fresh folder for one test, removed with everything in it when the test ends; whole-file
// reading and writing, and looking for a part in a text read.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
// How often part stands in text, overlapping or not.
std::size_t Count(const std::string& text, const std::string& part);

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    std::string Read(const std::string& name) const { return ReadWholeFile(*this / name); }
    void Write(const std::string& name, const std::string& bytes) const { WriteWholeFile(*this / name, bytes); }

    // The names of everything in the folder, below it too, relative to it and sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path m_path;
};
