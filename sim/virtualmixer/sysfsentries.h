// The sysfs entries of a served hidraw node, as the kernel makes them for a HID interface of a USB
// device: the USB device, its interface, the HID device and the hidraw class device, each directory
// with the uevent file and subsystem link that libudev and Wine read, and the class link
// /sys/class/hidraw/hidrawN. Nothing else of sysfs is written.
#pragma once

#include <optional>
#include <string>

#include "sim/virtualmixer/hidrawfile.h"

namespace sim {

struct SysfsPlaces {
    std::string classDir;    // stands for /sys/class/hidraw
    std::string devicesDir;  // a directory of /sys/devices of the mixer's own
    std::string soundDir;    // stands for /sys/class/sound; empty: no sound cards
};

struct SysfsNode {
    std::string name;        // "hidraw0"
    unsigned port = 0;       // the USB port the device is on, from 1
    unsigned hidSerial = 0;  // the HID core's running number of the device
    HidrawIdentity identity;
};

// A device string as the kernel's sysfs and uevent files carry it: ASCII, "?" for anything else,
// empty for a string the device does not supply.
std::string AsciiText(const std::optional<std::u16string>& text);

// The directory of the USB device, under which everything else of the node lies.
std::string UsbDeviceDir(const SysfsPlaces& places, const SysfsNode& node);
// The hidraw class device's directory, the target of the class link.
std::string HidrawDir(const SysfsPlaces& places, const SysfsNode& node);

// Writes the node's entries, and for a mixer in application mode its sound card beside them when
// the places have a sound class (card N for the mixer on port 3 + N, id "Vantor", "Vantor_1",
// ...); false, with the reason in errno, when the file system refuses.
bool WriteSysfsEntries(const SysfsPlaces& places, const SysfsNode& node);
void RemoveSysfsEntries(const SysfsPlaces& places, const SysfsNode& node);

}  // namespace sim
