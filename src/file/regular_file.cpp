#include "file/regular_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string NotARegularFile(mode_t type)
{
    if (S_ISREG(type))
        return {};
    if (S_ISDIR(type))
        return "it is a folder, not a file";
    const char* kind = S_ISCHR(type) ? "a character device" : S_ISBLK(type) ? "a block device"
                     : S_ISFIFO(type) ? "a FIFO" : S_ISSOCK(type) ? "a socket" : "of an unknown kind";
    return std::string("not a regular file (") + kind + ")";
}

bool ReadRegularFile(const std::string& path, std::size_t limit, std::string* content, std::string* error)
{
    // Looked at before it is opened: opening a device or a FIFO can wait or act by itself.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    if (*error = NotARegularFile(st.st_mode); !error->empty())
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    // The name may have been given to something else in the meantime.
    if (::fstat(fd, &st) != 0 || !(*error = NotARegularFile(st.st_mode)).empty()) {
        if (error->empty())
            *error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    content->clear();
    char buffer[1 << 16];
    while (content->size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        content->append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}
