#include "hardware/hidrawdevices.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "hardware/udevpointers.h"
#include "hid/hidid.h"
#include "hid/sysfsnames.h"

namespace hardware {

namespace {

namespace sysfs = hid::sysfs;

// The kernel keeps USB strings in sysfs as UTF-8, a line each; a device without the string has no
// file.
std::optional<std::u16string> UsbString(udev_device* usbDevice, const char* attribute) {
    const char* value =
        usbDevice != nullptr ? udev_device_get_sysattr_value(usbDevice, attribute) : nullptr;
    if (value == nullptr) {
        return std::nullopt;
    }
    std::u16string text;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(value); *c != 0; ++c) {
        if (*c == '\n') {
            break;
        }
        text.push_back(*c < 0x80 ? static_cast<char16_t>(*c) : u'?');
    }
    return text;
}

std::optional<HidrawDevice> Describe(udev_device* hidraw) {
    HidrawDevice device;
    device.devnode = UdevText(udev_device_get_devnode(hidraw));
    const char* number = udev_device_get_sysnum(hidraw);
    if (device.devnode.empty() || number == nullptr) {
        return std::nullopt;
    }
    device.number = static_cast<unsigned>(std::strtoul(number, nullptr, 10));
    // Parents belong to their child: they are not to be unreferenced here.
    udev_device* hidDevice =
        udev_device_get_parent_with_subsystem_devtype(hidraw, sysfs::kHidSubsystem, nullptr);
    if (hidDevice == nullptr ||
        !hid::ParseHidId(UdevText(udev_device_get_property_value(hidDevice, sysfs::kHidIdProperty)),
                         &device.description.vendorId, &device.description.productId)) {
        return std::nullopt;
    }
    device.hidSyspath = UdevText(udev_device_get_syspath(hidDevice));
    udev_device* usbInterface = udev_device_get_parent_with_subsystem_devtype(
        hidraw, sysfs::kUsbSubsystem, sysfs::kUsbInterface);
    udev_device* usbDevice = udev_device_get_parent_with_subsystem_devtype(
        hidraw, sysfs::kUsbSubsystem, sysfs::kUsbDevice);
    if (usbInterface != nullptr && usbDevice != nullptr) {
        device.interfaceSyspath = UdevText(udev_device_get_syspath(usbInterface));
        device.usbDeviceSyspath = UdevText(udev_device_get_syspath(usbDevice));
        unsigned long version = 0;
        if (hid::ParseHex(UdevText(udev_device_get_sysattr_value(usbDevice, sysfs::kBcdDevice)),
                          0xFFFF, &version)) {
            device.description.versionNumber = static_cast<WORD>(version);
        }
        device.description.manufacturer = UsbString(usbDevice, sysfs::kManufacturer);
        device.description.product = UsbString(usbDevice, sysfs::kProduct);
        device.description.serialNumber = UsbString(usbDevice, sysfs::kSerial);
    }
    return device;
}

}  // namespace

std::vector<HidrawDevice> PresentHidrawDevices() {
    std::vector<HidrawDevice> devices;
    ForEachPresentDevice(sysfs::kHidrawSubsystem, nullptr, [&devices](udev_device* hidraw) {
        if (std::optional<HidrawDevice> device = Describe(hidraw)) {
            devices.push_back(std::move(*device));
        }
    });
    // The scan's order is the order of sysfs' directory, not one a person would call stable.
    std::sort(devices.begin(), devices.end(),
              [](const HidrawDevice& a, const HidrawDevice& b) { return a.number < b.number; });
    return devices;
}

}  // namespace hardware
