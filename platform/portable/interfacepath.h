// Device paths as Windows makes them, for the backends that list interfaces: the simulated mixer,
// its neighbours and the system's own devices all name theirs the one way the wizard parses.
#pragma once

#include <string>

#include "platform/win32api.h"

namespace portable {

// A USB device's part of its instance id: "VID_0CA8&PID_0801".
std::string UsbIds(WORD vendorId, WORD productId);

// The path of an interface of class `interfaceClass` on the device node `instanceId`
// ("HID\VID_0CA8&PID_0801&MI_00\8&1f2e3d4c&1&3"): "\\?\", the instance id in lower case with its
// backslashes as '#', then the class as "#{4d1e55b2-f16f-11cf-88cb-001111000030}".
std::string InterfacePath(const std::string& instanceId, const GUID& interfaceClass);

}  // namespace portable
