// The hidraw nodes of the system as sysfs describes them, read through libudev: each node with the
// HID device it serves, the USB interface and USB device above that, the identity the HID core
// gave the device, and the strings the USB device supplied.
#pragma once

#include <string>
#include <vector>

#include "platform/portable/devicebackend.h"

namespace hardware {

struct HidrawDevice {
    std::string devnode;  // "/dev/hidraw0"
    unsigned number = 0;  // 0 for hidraw0
    std::string hidSyspath;
    // Empty for a HID device that is not on USB (Bluetooth, uhid, ...).
    std::string interfaceSyspath;
    std::string usbDeviceSyspath;
    // The HID core's identity, the USB device's bcdDevice and the strings it supplies; the
    // capabilities are the report descriptor's, read when the node is opened.
    portable::HidDescription description;
};

// The hidraw nodes present now, in the order of their numbers.
std::vector<HidrawDevice> PresentHidrawDevices();

}  // namespace hardware
