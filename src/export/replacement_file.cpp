#include "export/replacement_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeForReplacement(const std::string& target)
{
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool SyncToDisk(const std::string& path, std::string* error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        *error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

CReplacementFile::~CReplacementFile()
{
    Discard();
}

bool CReplacementFile::Create(std::string* error)
{
    namespace fs = std::filesystem;
    Discard();
    const fs::path target(m_target);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    m_path = pattern;
    const bool ok = ::fchmod(fd, ModeForReplacement(m_target)) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!ok) {
        *error = std::strerror(savedErrno);
        Discard();
        return false;
    }
    return true;
}

bool CReplacementFile::Commit(std::string* error)
{
    if (m_path.empty()) {
        *error = "no replacement file was created";
        return false;
    }
    if (!SyncToDisk(m_path, error)) {
        Discard();
        return false;
    }
    if (std::rename(m_path.c_str(), m_target.c_str()) != 0) {
        *error = std::strerror(errno);
        Discard();
        return false;
    }
    m_path.clear();
    return true;
}

void CReplacementFile::Discard()
{
    if (!m_path.empty()) {
        ::unlink(m_path.c_str());
        m_path.clear();
    }
}
