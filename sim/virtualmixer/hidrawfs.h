// The served hidraw nodes as a FUSE file system: one file per node, named as the node. Opening a
// file opens the mixer's interface; its ioctls are hidraw's. The files have no input reports: a
// poll never finds one and a read has none to give.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "sim/virtualmixer/hidrawbus.h"
#include "sim/virtualmixer/transferstatistics.h"

struct fuse;

namespace sim {

class HidrawFs {
public:
    // What the file system's operations reach.
    struct Context {
        const HidrawBus* bus;
        TransferStatistics* statistics;
    };

    // The feature report transfers are timed into `statistics`, if given; it is written by the
    // file system's thread and may be read once the file system has ended.
    HidrawFs(const HidrawBus* bus, TransferStatistics* statistics);
    ~HidrawFs();  // unmounts
    HidrawFs(const HidrawFs&) = delete;
    HidrawFs& operator=(const HidrawFs&) = delete;

    // Mounts the file system on the directory and serves it on a thread of its own. False, with a
    // message, when FUSE cannot mount it.
    bool Mount(const std::string& directory, std::string* error);

private:
    Context m_context;
    struct fuse* m_fuse = nullptr;
    std::thread m_loop;
    std::atomic<bool> m_ended{false};
};

}  // namespace sim
