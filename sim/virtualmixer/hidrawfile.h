// One open file of a served hidraw node: the hidraw ioctls a reader makes (the report descriptor,
// the device's identity, feature reports), answered from the simulated mixer's interface as the
// kernel's hidraw driver answers them from a USB device.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/portable/devicebackend.h"

namespace sim {

// What the HID core knows of an interface before anyone opens it.
struct HidrawIdentity {
    portable::HidDescription description;
    std::vector<BYTE> reportDescriptor;
    std::string name;  // HID_NAME: the manufacturer and product strings
    std::string phys;  // HID_PHYS: where it hangs on the bus, ".../input<interface>"
};

class HidrawFile {
public:
    HidrawFile(std::shared_ptr<portable::HidChannel> channel, HidrawIdentity identity);

    // One ioctl with its argument buffer of _IOC_SIZE(command) bytes, in and out. Returns what the
    // ioctl returns, or -errno: ENOTTY for a command hidraw does not have (Wine probes for an event
    // device with EVIOCGBIT), ENODEV once the device has left, EIO or EPIPE for a failed transfer.
    int Ioctl(unsigned command, void* data, std::size_t size);

private:
    int Feature(bool set, BYTE* report, std::size_t length);

    std::shared_ptr<portable::HidChannel> m_channel;
    HidrawIdentity m_identity;
};

}  // namespace sim
