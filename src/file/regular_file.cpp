#include "file/regular_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string gw::NotARegularFile(mode_t type)
{
    if (S_ISREG(type))
        return {};
    if (S_ISDIR(type))
        return "it is a folder, not a file";
    const char* kind = S_ISCHR(type) ? "a character device" : S_ISBLK(type) ? "a block device"
                     : S_ISFIFO(type) ? "a FIFO" : S_ISSOCK(type) ? "a socket" : "of an unknown kind";
    return std::string("not a regular file (") + kind + ")";
}

Outcome gw::ReadRegularFile(const std::string& path, std::size_t limit, std::string& content)
{
    // Looked at before it is opened: opening a device or a FIFO can wait or act by itself.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return Failure(std::strerror(errno));
    if (std::string refused = NotARegularFile(st.st_mode); !refused.empty())
        return Failure(std::move(refused));
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Failure(std::strerror(errno));
    // The message is made before the file is closed, while errno still tells the reason.
    auto refuse = [fd](std::string message) {
        ::close(fd);
        return Failure(std::move(message));
    };
    // The name may have been given to something else in the meantime.
    if (::fstat(fd, &st) != 0)
        return refuse(std::strerror(errno));
    if (std::string refused = NotARegularFile(st.st_mode); !refused.empty())
        return refuse(std::move(refused));
    content.clear();
    char buffer[1 << 16];
    while (content.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(std::strerror(errno));
        if (n == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {};
}
