#include "sim/usbmixer/redirlistener.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim {

RedirListener::~RedirListener() {
    if (m_fd >= 0) {
        close(m_fd);
        unlink(m_path.c_str());
    }
}

bool RedirListener::Listen(const std::string& path, std::string* error) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        *error = "the socket path " + path + " is longer than " +
                 std::to_string(sizeof address.sun_path - 1) + " bytes";
        return false;
    }
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            *error = path + " exists and is not a socket";
            return false;
        }
        unlink(path.c_str());
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 1) != 0) {
        *error = "cannot listen on " + path + ": " + std::strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

int RedirListener::Accept() {
    return accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

}  // namespace sim
