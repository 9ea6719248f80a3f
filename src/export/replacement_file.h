#pragma once
// A temporary file in the folder of a target file, which takes the target's place only when
// Commit() is called. Until then the target stays as it was; a replacement that is not
// committed is removed when the object goes.

#include <string>

class CReplacementFile {
public:
    explicit CReplacementFile(std::string target) : m_target(std::move(target)) {}
    ~CReplacementFile();
    CReplacementFile(const CReplacementFile&) = delete;
    CReplacementFile& operator=(const CReplacementFile&) = delete;

    // Creates the empty temporary file, with the permissions of the target when it exists and
    // the usual ones for a new file otherwise. False with the reason in *error on failure.
    bool Create(std::string* error);
    // Where the new contents are to be written; empty before Create() succeeded.
    const std::string& Path() const { return m_path; }
    // Flushes the written file to disk and renames it over the target. On failure the
    // temporary file is removed and the target left alone.
    bool Commit(std::string* error);

private:
    void Discard();

    std::string m_target;
    std::string m_path;
};
