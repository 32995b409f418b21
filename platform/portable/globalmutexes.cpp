#include "platform/portable/globalmutexes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

constexpr char kGlobalPrefix[] = "Global\\";

struct GlobalMutex {
    int lockFile = -1;  // holds the lock; -1 while another process holds it, or in-process
    int references = 0;
};

struct MutexTable {
    std::mutex mutex;
    std::string directory;
    std::map<std::string, GlobalMutex> byName;
    std::map<HANDLE, std::string> handles;
    // A range of its own, apart from the device handles, so that no value means two objects.
    ULONG_PTR next = 0x10000000;
};

MutexTable& Table() {
    static MutexTable table;
    return table;
}

// A name that can be a file name as it stands.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name[0] == '.') {
        return false;
    }
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain) {
            return false;
        }
    }
    return true;
}

// Opens the lock file, making it if it is not there. The directory is writable by every user, so
// the file may be anyone's: a link is refused, and so is anything but a regular file (a FIFO would
// block the open). An existing file is opened without O_CREAT, which the kernel refuses for
// another user's file in a sticky directory (fs.protected_regular).
int OpenLockFile(const std::string& path) {
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt < 3; ++attempt) {
        int fd = open(path.c_str(), kFlags);
        if (fd < 0 && errno == ENOENT) {
            fd = open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
            if (fd < 0 && errno == EEXIST) {
                continue;  // made by another process just now: open that one
            }
            if (fd >= 0) {
                // Readable by every user whatever the umask, so that anyone's update can lock it.
                fchmod(fd, 0644);
            }
        }
        if (fd < 0) {
            return -1;
        }
        struct stat status {};
        if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            close(fd);
            errno = EACCES;
            return -1;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

DWORD Win32ErrorOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case ELOOP:  // a planted link: not ours to use
            return ERROR_ACCESS_DENIED;
        case ENOENT:
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        default:
            return ERROR_GEN_FAILURE;
    }
}

std::string LockPath(const MutexTable& table, const std::string& name) {
    return table.directory + "/" + name + ".lock";
}

}  // namespace

namespace portable {

void SetGlobalNamespaceDirectory(const std::string& directory) {
    MutexTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.directory = directory;
}

pid_t GlobalMutexHolder(const std::string& name) {
    MutexTable& table = Table();
    std::string path;
    {
        std::lock_guard lock(table.mutex);
        if (table.directory.empty() || !IsPlainName(name)) {
            return 0;
        }
        path = LockPath(table, name);
    }
    struct stat file {};
    if (lstat(path.c_str(), &file) != 0) {
        return 0;
    }
    // Lines such as "1: FLOCK  ADVISORY  WRITE 1234 00:1a:5678 0 EOF": the holder's process and
    // the file as device major:minor (hexadecimal) and inode. Waiters ("1: -> FLOCK ...") are
    // not holders.
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, device;
        pid_t pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> device) || kind != "FLOCK") {
            continue;
        }
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(device.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 &&
            major == major(file.st_dev) && minor == minor(file.st_dev) && inode == file.st_ino) {
            return pid;
        }
    }
    return 0;
}

bool CloseGlobalMutexHandle(HANDLE handle) {
    MutexTable& table = Table();
    std::lock_guard lock(table.mutex);
    const auto found = table.handles.find(handle);
    if (found == table.handles.end()) {
        return false;
    }
    const auto mutex = table.byName.find(found->second);
    if (--mutex->second.references == 0) {
        if (mutex->second.lockFile >= 0) {
            close(mutex->second.lockFile);  // lets the lock go
        }
        table.byName.erase(mutex);
    }
    table.handles.erase(found);
    return true;
}

}  // namespace portable

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName) {
    const std::size_t prefix = sizeof kGlobalPrefix - 1;
    if (lpMutexAttributes != nullptr || bInitialOwner || lpName == nullptr ||
        std::strncmp(lpName, kGlobalPrefix, prefix) != 0 || !IsPlainName(lpName + prefix)) {
        portable::Unsupported("CreateMutexA other than an unowned mutex of a plain global name");
    }
    const std::string name = lpName + prefix;
    MutexTable& table = Table();
    std::lock_guard lock(table.mutex);
    DWORD result = ERROR_SUCCESS;
    auto mutex = table.byName.find(name);
    if (mutex != table.byName.end()) {
        result = ERROR_ALREADY_EXISTS;
    } else {
        GlobalMutex made;
        if (!table.directory.empty()) {
            made.lockFile = OpenLockFile(LockPath(table, name));
            if (made.lockFile < 0) {
                SetLastError(Win32ErrorOf(errno));
                return nullptr;
            }
            if (flock(made.lockFile, LOCK_EX | LOCK_NB) != 0) {
                const int error = errno;
                close(made.lockFile);
                made.lockFile = -1;
                if (error != EWOULDBLOCK) {
                    SetLastError(Win32ErrorOf(error));
                    return nullptr;
                }
                // Another process holds it: the mutex exists there, and this handle refers to it.
                result = ERROR_ALREADY_EXISTS;
            }
        }
        mutex = table.byName.emplace(name, made).first;
    }
    ++mutex->second.references;
    HANDLE handle = reinterpret_cast<HANDLE>(table.next);
    table.next += 4;
    table.handles.emplace(handle, name);
    // Success sets the last error too: ERROR_ALREADY_EXISTS is how a caller tells the two apart.
    SetLastError(result);
    return handle;
}
