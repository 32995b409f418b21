// The HID core's identity of a device, "bus:vendor:product" in hexadecimal
// ("0003:00000CA8:00000801"), as its uevent's HID_ID carries it.
#pragma once

#include <string>

#include "platform/win32api.h"

namespace hid {

inline constexpr unsigned kBusUsb = 3;  // BUS_USB of <linux/input.h>

// A USB device's identity as the HID core writes it.
std::string HidId(WORD vendorId, WORD productId);
// False, with nothing written, unless `text` is three hexadecimal fields whose vendor and product
// fit a WORD.
bool ParseHidId(const std::string& text, WORD* vendorId, WORD* productId);

// Up to eight hexadecimal digits and nothing else, no more than `limit`; false, with nothing
// written, otherwise.
bool ParseHex(const std::string& text, unsigned long limit, unsigned long* value);

}  // namespace hid
