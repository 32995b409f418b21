// The hidraw nodes of the system as sysfs describes them, read through libudev: each node with the
// HID device it serves, the USB interface and USB device above that, the identity the HID core
// gave the device, and the strings the USB device supplied.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win32api.h"

namespace hardware {

struct HidrawDevice {
    std::string devnode;  // "/dev/hidraw0"
    unsigned number = 0;  // 0 for hidraw0
    std::string hidSyspath;
    // Empty for a HID device that is not on USB (Bluetooth, uhid, ...).
    std::string interfaceSyspath;
    std::string usbDeviceSyspath;
    WORD vendorId = 0;
    WORD productId = 0;
    WORD versionNumber = 0;  // the USB device's bcdDevice
    // A string the device does not supply is absent.
    std::optional<std::u16string> manufacturer;
    std::optional<std::u16string> product;
    std::optional<std::u16string> serialNumber;
};

// The hidraw nodes present now, in the order of their numbers.
std::vector<HidrawDevice> PresentHidrawDevices();

}  // namespace hardware
