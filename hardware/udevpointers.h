// libudev's objects held by unique pointers, its strings read without surprises, and the scan of a
// subsystem's devices: what the readers of hidraw nodes and of sound cards share.
#pragma once

#include <libudev.h>

#include <functional>
#include <memory>
#include <string>

namespace hardware {

struct UdevDeleter {
    void operator()(udev* context) const { udev_unref(context); }
    void operator()(udev_enumerate* enumeration) const { udev_enumerate_unref(enumeration); }
    void operator()(udev_device* device) const { udev_device_unref(device); }
    void operator()(udev_queue* queue) const { udev_queue_unref(queue); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// A string libudev may answer with null, as an empty one.
inline std::string UdevText(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

// Calls `visit` with each device of `subsystem` present now (whose name matches `sysname`, a
// shell pattern, when given), in the scan's order. A device gone since the scan is skipped.
inline void ForEachPresentDevice(const char* subsystem, const char* sysname,
                                 const std::function<void(udev_device*)>& visit) {
    const UdevPtr<udev> context(udev_new());
    if (!context) {
        return;
    }
    const UdevPtr<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), subsystem) < 0 ||
        (sysname != nullptr && udev_enumerate_add_match_sysname(enumeration.get(), sysname) < 0) ||
        udev_enumerate_scan_devices(enumeration.get()) < 0) {
        return;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
        const UdevPtr<udev_device> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (device) {
            visit(device.get());
        }
    }
}

}  // namespace hardware
