// The table behind the handles that CreateFileA gives out for device paths. Internal to the
// stand-ins: the HID services find their channel through it.
#pragma once

#include <memory>

#include "platform/portable/devicebackend.h"
#include "platform/win32api.h"

namespace portable {

struct OpenDevice {
    std::shared_ptr<HidChannel> channel;
    // Read once at open: the HID class driver checks every transfer against it.
    WORD featureReportByteLength = 0;
};

// False, with ERROR_INVALID_HANDLE, for a handle that is not open.
bool FindOpenDevice(HANDLE handle, OpenDevice* device);

}  // namespace portable
