#define FUSE_USE_VERSION 31
#include "sim/virtualmixer/hidrawfs.h"

#include <fuse.h>
#include <linux/hidraw.h>
#include <pthread.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <string>

namespace sim {

namespace {

const HidrawFs::Context& TheContext() {
    return *static_cast<const HidrawFs::Context*>(fuse_get_context()->private_data);
}

const HidrawBus* Bus() {
    return TheContext().bus;
}

// "/hidraw0" to "hidraw0"; empty for the root.
std::string NameOf(const char* path) {
    return std::string(path[0] == '/' ? path + 1 : path);
}

HidrawFile* FileOf(fuse_file_info* fi) {
    return reinterpret_cast<HidrawFile*>(static_cast<std::uintptr_t>(fi->fh));
}

int GetAttributes(const char* path, struct stat* st, fuse_file_info*) {
    std::memset(st, 0, sizeof *st);
    const std::string name = NameOf(path);
    if (name.empty()) {
        st->st_mode = S_IFDIR | 0755;
        st->st_nlink = 2;
        return 0;
    }
    const std::vector<std::string> names = Bus()->Names();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        return -ENOENT;
    }
    st->st_mode = S_IFREG | 0600;  // hidraw nodes are root's, as udev leaves them by default
    st->st_nlink = 1;
    return 0;
}

int ReadDirectory(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
                  fuse_readdir_flags) {
    if (!NameOf(path).empty()) {
        return -ENOTDIR;
    }
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    for (const std::string& name : Bus()->Names()) {
        fill(buffer, name.c_str(), nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    return 0;
}

int Open(const char* path, fuse_file_info* fi) {
    int error = 0;
    std::unique_ptr<HidrawFile> file = Bus()->Open(NameOf(path), &error);
    if (!file) {
        return -error;
    }
    fi->fh = reinterpret_cast<std::uintptr_t>(file.release());
    fi->direct_io = 1;
    fi->nonseekable = 1;
    return 0;
}

int Release(const char*, fuse_file_info* fi) {
    delete FileOf(fi);
    return 0;
}

// The mixer sends no input reports: there is never one to read.
int Read(const char*, char*, size_t, off_t, fuse_file_info*) {
    return -EAGAIN;
}

// Nor does it have output reports.
int Write(const char*, const char*, size_t, off_t, fuse_file_info*) {
    return -EINVAL;
}

int Ioctl(const char*, int command, void*, fuse_file_info* fi, unsigned flags, void* data) {
    if ((flags & FUSE_IOCTL_COMPAT) != 0) {
        return -ENOSYS;
    }
    const auto unsignedCommand = static_cast<unsigned>(command);
    TransferStatistics* statistics = TheContext().statistics;
    const bool timed =
        statistics != nullptr && (_IOC_NR(unsignedCommand) == _IOC_NR(HIDIOCSFEATURE(0)) ||
                                  _IOC_NR(unsignedCommand) == _IOC_NR(HIDIOCGFEATURE(0)));
    const auto start =
        timed ? TransferStatistics::Clock::now() : TransferStatistics::Clock::time_point{};
    const int result = FileOf(fi)->Ioctl(unsignedCommand, data, _IOC_SIZE(unsignedCommand));
    if (timed) {
        statistics->Record(start, TransferStatistics::Clock::now());
    }
    return result;
}

int Poll(const char*, fuse_file_info*, fuse_pollhandle* handle, unsigned* events) {
    *events = 0;
    if (handle != nullptr) {
        fuse_pollhandle_destroy(handle);
    }
    return 0;
}

// Wakes the loop's thread from its read of /dev/fuse, so that it sees that it is to end.
void Wake(int) {}

}  // namespace

HidrawFs::HidrawFs(const HidrawBus* bus, TransferStatistics* statistics)
    : m_context{bus, statistics} {}

bool HidrawFs::Mount(const std::string& directory, std::string* error) {
    static fuse_operations operations = [] {
        fuse_operations o{};
        o.getattr = GetAttributes;
        o.readdir = ReadDirectory;
        o.open = Open;
        o.release = Release;
        o.read = Read;
        o.write = Write;
        o.ioctl = Ioctl;
        o.poll = Poll;
        return o;
    }();
    char program[] = "virtual-mixer";
    char* argv[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, argv);
    m_fuse = fuse_new(&args, &operations, sizeof operations, &m_context);
    fuse_opt_free_args(&args);
    if (m_fuse == nullptr) {
        *error = "FUSE could not start";
        return false;
    }
    if (fuse_mount(m_fuse, directory.c_str()) != 0) {
        fuse_destroy(m_fuse);
        m_fuse = nullptr;
        *error = "FUSE could not mount " + directory;
        return false;
    }
    struct sigaction wake {};
    wake.sa_handler = Wake;  // no SA_RESTART: the loop's read ends with EINTR
    sigaction(SIGUSR1, &wake, nullptr);
    m_loop = std::thread([this] {
        fuse_loop(m_fuse);
        m_ended = true;
    });
    return true;
}

HidrawFs::~HidrawFs() {
    if (m_fuse == nullptr) {
        return;
    }
    fuse_exit(m_fuse);
    // A wake that comes before the loop's next read is lost, so it is repeated until the loop ends.
    while (!m_ended) {
        pthread_kill(m_loop.native_handle(), SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_loop.join();
    fuse_unmount(m_fuse);
    fuse_destroy(m_fuse);
}

}  // namespace sim
