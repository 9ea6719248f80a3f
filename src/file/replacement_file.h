#pragma once
// The one way this program replaces a file: configuration saves, workbook exports and the
// simulator's state file all go through it.
//
// The new contents go to a temporary file in the target's folder, which takes the target's
// place only when Commit() is called: the file is flushed to disk, renamed over the target and
// the folder is flushed too. Until then the target stays as it was; a replacement that is not
// committed is removed when the object goes.
//
// A symbolic link is followed to the file it finally names (through chains of links, and to a
// target that does not exist yet), so the link stays a link and its target gets the contents.
// Only a regular file is replaced: a device, a FIFO or a socket there is refused. The file keeps
// its permissions, owner and group. A file with several names (hard links), or one whose owner
// or group this program may not give the new file, is written in place instead, as editors do:
// once the new contents are complete and flushed in the temporary file, its room is reserved
// and they are copied over the old ones, so that every name sees them.
// The temporary file has no name until it is complete (O_TMPFILE); where the file system cannot
// make nameless files it is named ".NAME.XXXXXX". Names of that form left by a save that was
// killed are removed by the next save of the same file.

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "model/outcome.h"

class CReplacementFile {
public:
    explicit CReplacementFile(std::string target) : m_target(std::move(target)) {}
    ~CReplacementFile();
    CReplacementFile(const CReplacementFile&) = delete;
    CReplacementFile& operator=(const CReplacementFile&) = delete;

    // Creates the empty temporary file. The file gets the permissions of the target when it
    // exists and the usual ones for a new file otherwise. A failure says why.
    Outcome Create();
    // The temporary file, open for writing; -1 before Create() succeeded.
    int Descriptor() const { return m_fd; }
    // A path under which writers that take a file name can open the temporary file.
    const std::string& Path() const { return m_path; }
    // Flushes the file, renames it over the target and flushes the folder (or writes it into
    // the target in place, above). On failure the temporary file is removed and the target left
    // alone (unless only the folder's flush failed, after the rename, or the copy in place
    // failed part-way, which the reason then says).
    Outcome Commit();

private:
    Outcome GiveTemporaryName();
    // Gives the temporary file the target's owner, group and permissions; inPlace when the
    // owner or group cannot be given or the file has several names (it is then written in place).
    Outcome TakeOwnership(bool& inPlace);
    Outcome WriteInPlace();
    void RemoveStaleTemporaries() const;
    void Discard();

    std::string m_target;      // as the caller named it
    std::string m_resolved;    // the file at the end of any symbolic links
    std::string m_name;        // m_resolved's name within its folder
    int m_folder = -1;         // the folder of m_resolved
    int m_fd = -1;
    std::optional<struct stat> m_old;   // the file replaced, when there is one
    std::string m_tempName;    // the temporary file's name in the folder; empty while nameless
    std::string m_path;
};

namespace gw {

// Replaces the file at path with data as a whole. On failure the reason is given and the old
// file is left as it was.
Outcome ReplaceFileContents(const std::string& path, std::string_view data);

} // namespace gw
