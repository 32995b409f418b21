// libudev's objects held by unique pointers, and its strings read without surprises: what the
// readers of hidraw nodes and of sound cards share.
#pragma once

#include <libudev.h>

#include <memory>
#include <string>

namespace hardware {

struct UdevDeleter {
    void operator()(udev* context) const { udev_unref(context); }
    void operator()(udev_enumerate* enumeration) const { udev_enumerate_unref(enumeration); }
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// A string libudev may answer with null, as an empty one.
inline std::string UdevText(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace hardware
