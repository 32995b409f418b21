// The mixers of a device backend, and on request the system's other HID devices that open
// read-write, served as hidraw nodes: each HID interface of the mixer that is
// present gets the lowest free hidraw number, its sysfs entries and, last, its /dev/hidrawN link to
// the file that serves it. When the interface leaves the backend (the mixer restarts, or is pulled
// out), the link goes first and the sysfs entries after it. Wine sees exactly that: a name that
// appears in /dev is a device that arrived, a name that goes is one that left.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "sim/virtualmixer/hidrawfile.h"
#include "sim/virtualmixer/sysfsentries.h"

namespace sim {

struct HidrawPlaces {
    std::string devDir;   // stands for /dev
    std::string fileDir;  // where the served files are: the /dev links point to fileDir/hidrawN
    SysfsPlaces sysfs;
};

class HidrawBus {
public:
    HidrawBus(portable::DeviceBackend* backend, HidrawPlaces places,
              bool serveOtherDevices = false);
    ~HidrawBus();  // every node leaves
    HidrawBus(const HidrawBus&) = delete;
    HidrawBus& operator=(const HidrawBus&) = delete;

    // Brings the served nodes up to the interfaces present now. False, with a message, when the
    // file system refuses an entry.
    bool Refresh(std::string* error);

    // The names served now, "hidraw0" first.
    std::vector<std::string> Names() const;
    // Opens the node of that name, as the kernel's hidraw open reaches the device: null, with the
    // errno, when no such node is served or its device has left.
    std::unique_ptr<HidrawFile> Open(const std::string& name, int* error) const;

private:
    struct Node {
        std::string path;  // the backend's device path
        SysfsNode sysfs;
    };

    std::optional<SysfsNode> Identify(const portable::DeviceInterfaceEntry& entry);
    bool Publish(Node node, std::string* error);
    void Withdraw(const Node& node);
    // The USB port of a device, by a key that names it across restarts.
    unsigned PortOf(const std::u16string& key);

    portable::DeviceBackend* m_backend;
    HidrawPlaces m_places;
    bool m_serveOtherDevices;
    mutable std::mutex m_mutex;  // the served nodes; Refresh and Open come from different threads
    std::map<unsigned, Node> m_nodes;     // by hidraw number
    std::vector<std::u16string> m_ports;  // the devices' keys in the order they were first seen
    unsigned m_hidSerial = 0;
};

}  // namespace sim
