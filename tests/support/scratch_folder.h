#pragma once
// A fresh folder for one test, removed with everything in it when the test ends, and whole-file
// reading and writing.

#include <filesystem>
#include <string>
#include <vector>

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

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
