#include "file/replacement_file.h"

#include "file/regular_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxLinkHops = 40;   // as the kernel allows when it follows links itself
constexpr int kNameAttempts = 100;
constexpr std::size_t kSuffixLength = 6;
constexpr char kSuffixCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Reason(int code)
{
    return std::strerror(code);
}

// Follows path through symbolic links to the file they finally name, which need not exist.
Outcome ResolveLinks(std::string path, std::string& resolved)
{
    for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = path;
            return {};
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size())
            return gw::Failure(path + ": " + Reason(n < 0 ? errno : ENAMETOOLONG));
        target.resize(static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        if ((target.empty() || target.front() != '/') && slash != std::string::npos)
            target = path.substr(0, slash + 1) + target;
        path = target;
    }
    return gw::Failure(Reason(ELOOP));
}

std::string TemporaryName(const std::string& name)
{
    static thread_local std::mt19937 random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kSuffixCharacters - 2);
    std::string temp = "." + name + ".";
    for (std::size_t i = 0; i < kSuffixLength; ++i)
        temp += kSuffixCharacters[pick(random)];
    return temp;
}

bool IsTemporaryOf(const std::string& entry, const std::string& name)
{
    const std::string prefix = "." + name + ".";
    return entry.size() == prefix.size() + kSuffixLength && entry.compare(0, prefix.size(), prefix) == 0 &&
           entry.find_first_not_of(kSuffixCharacters, prefix.size()) == std::string::npos;
}

} // namespace

CReplacementFile::~CReplacementFile()
{
    Discard();
}

Outcome CReplacementFile::Create()
{
    Discard();
    if (Outcome resolved = ResolveLinks(m_target, m_resolved); !resolved)
        return resolved;
    // Messages about a link name the file it leads to.
    const std::string where = m_resolved == m_target ? std::string() : "the link's target " + m_resolved + ": ";
    const std::size_t slash = m_resolved.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : m_resolved.substr(0, slash);
    m_name = slash == std::string::npos ? m_resolved : m_resolved.substr(slash + 1);

    // The message is made before anything is closed, while errno still tells the reason.
    auto refuse = [this](std::string message) {
        Discard();
        return gw::Failure(std::move(message));
    };
    m_folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        return gw::Failure(where + Reason(errno));
    struct stat old {};
    const bool exists = !m_name.empty() && ::fstatat(m_folder, m_name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (m_name.empty() || m_name == "." || m_name == "..")
        return refuse(where + gw::NotARegularFile(S_IFDIR));
    if (exists && !S_ISREG(old.st_mode))
        return refuse(where + gw::NotARegularFile(old.st_mode));
    RemoveStaleTemporaries();

    // A file that is replaced keeps its permissions; a new one gets 0666 less the umask.
    const mode_t createMode = exists ? 0600 : 0666;
    m_fd = ::openat(m_folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, createMode);
    if (m_fd >= 0) {
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
        if (::access(m_path.c_str(), F_OK) != 0) {   // without /proc the file could never get a name
            ::close(m_fd);
            m_fd = -1;
        }
    }
    for (int attempt = 0; m_fd < 0 && attempt < kNameAttempts; ++attempt) {
        const std::string name = TemporaryName(m_name);
        m_fd = ::openat(m_folder, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, createMode);
        if (m_fd >= 0) {
            m_tempName = name;
            m_path = folder + "/" + name;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (m_fd < 0)
        return refuse(where + Reason(errno));
    // The target's permissions are given at the commit: a read-only target would keep writers
    // that open Path() out of the temporary file.
    m_old = exists ? std::optional<struct stat>(old) : std::nullopt;
    return {};
}

Outcome CReplacementFile::TakeOwnership(bool& inPlace)
{
    inPlace = false;
    if (!m_old)
        return {};
    struct stat now {};
    if (::fstat(m_fd, &now) != 0)
        return gw::Failure(Reason(errno));
    // Changing the owner clears set-user-ID bits, so the permissions come after it.
    if ((now.st_uid != m_old->st_uid || now.st_gid != m_old->st_gid) &&
        ::fchown(m_fd, m_old->st_uid, m_old->st_gid) != 0) {
        if (errno != EPERM)
            return gw::Failure(Reason(errno));
        inPlace = true;
    }
    inPlace = inPlace || m_old->st_nlink > 1;
    if (!inPlace && ::fchmod(m_fd, m_old->st_mode & 07777) != 0)
        return gw::Failure(Reason(errno));
    return {};
}

// The complete, flushed contents of the temporary file copied over the target's own.
Outcome CReplacementFile::WriteInPlace()
{
    const int target = ::openat(m_folder, m_name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (target < 0)
        return gw::Failure(Reason(errno));
    struct stat st {}, temp {};
    bool ok = ::fstat(target, &st) == 0 && ::fstat(m_fd, &temp) == 0;
    if (ok && (!S_ISREG(st.st_mode) || st.st_ino != m_old->st_ino || st.st_dev != m_old->st_dev)) {
        ::close(target);
        return gw::Failure("the file was replaced by another program meanwhile; nothing was written");
    }
    // The room is taken before a byte changes: a full disk refuses the save here, whole.
    const off_t size = temp.st_size;
    if (ok && size > 0) {
        const int reserved = ::posix_fallocate(target, 0, size);
        ok = reserved == 0 || reserved == EOPNOTSUPP || reserved == EINVAL;
        errno = reserved;
    }
    if (!ok) {
        Outcome refused = gw::Failure(Reason(errno) + "; nothing was written");
        ::close(target);
        return refused;
    }
    char buffer[1 << 16];
    bool touched = false;
    for (off_t at = 0; ok && at < size;) {
        const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, at);
        if (n <= 0) {
            ok = n < 0 && errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::pwrite(target, buffer + done, static_cast<std::size_t>(n - done), at + done);
            ok = w > 0 || (w < 0 && errno == EINTR);
            done += w > 0 ? w : 0;
            touched = touched || w > 0;
        }
        at += n;
    }
    touched = touched || size == 0;
    ok = ok && ::ftruncate(target, size) == 0 && ::fsync(target) == 0;
    Outcome written;
    if (!ok)
        written = gw::Failure(Reason(errno) + (touched ? "; the file may now hold part of the new contents" : "; nothing was written"));
    if (::close(target) != 0 && ok)
        written = gw::Failure(Reason(errno));
    return written;
}

Outcome CReplacementFile::Commit()
{
    if (m_fd < 0)
        return gw::Failure("no replacement file was created");
    const std::string where = m_resolved == m_target ? std::string() : "the link's target " + m_resolved + ": ";
    bool inPlace = false;
    Outcome done = TakeOwnership(inPlace);
    if (done && ::fsync(m_fd) != 0)
        done = gw::Failure(Reason(errno));
    if (inPlace) {
        if (done)
            done = WriteInPlace();
        if (!done)
            done.message = where + done.message;
        Discard();
        return done;
    }
    if (!done)
        done.message = where + done.message;
    if (done && m_tempName.empty())
        done = GiveTemporaryName();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && done)
        done = gw::Failure(where + Reason(errno));
    if (done && ::renameat(m_folder, m_tempName.c_str(), m_folder, m_name.c_str()) != 0)
        done = gw::Failure(where + Reason(errno));
    if (!done) {
        Discard();
        return done;
    }
    m_tempName.clear();
    // File systems that cannot flush a folder say EINVAL; there is nothing more to do there.
    if (::fsync(m_folder) != 0 && errno != EINVAL)
        done = gw::Failure(where + "the file was replaced, but its folder could not be flushed to disk: " + Reason(errno));
    Discard();
    return done;
}

// Links the nameless temporary file into the folder under a fresh hidden name, ready for the
// rename (a link cannot replace an existing file).
Outcome CReplacementFile::GiveTemporaryName()
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = TemporaryName(m_name);
        if (::linkat(AT_FDCWD, m_path.c_str(), m_folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            m_tempName = name;
            return {};
        }
        if (errno != EEXIST)
            break;
    }
    return gw::Failure(Reason(errno));
}

// Temporary files of the same target that a killed save left behind.
void CReplacementFile::RemoveStaleTemporaries() const
{
    const int fd = ::dup(m_folder);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (IsTemporaryOf(entry->d_name, m_name) &&
            ::fstatat(m_folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(m_folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

void CReplacementFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempName.empty()) {
        ::unlinkat(m_folder, m_tempName.c_str(), 0);
        m_tempName.clear();
    }
    if (m_folder >= 0) {
        ::close(m_folder);
        m_folder = -1;
    }
    m_path.clear();
}

Outcome gw::ReplaceFileContents(const std::string& path, std::string_view data)
{
    CReplacementFile replacement(path);
    if (Outcome created = replacement.Create(); !created)
        return created;
    while (!data.empty()) {
        const ssize_t n = ::write(replacement.Descriptor(), data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return gw::Failure(Reason(n < 0 ? errno : EIO));
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return replacement.Commit();
}
