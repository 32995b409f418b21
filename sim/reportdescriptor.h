// The HID report descriptor the mixer's interface declares: a vendor-defined collection with the
// command report 0xF0 and the data report 0xF1 as feature reports. The HID class driver (Linux's
// hidraw readers, Wine's hidclass) takes the interface's capabilities from it, so the feature
// report length that HidP_GetCaps gives is the one declared here.
#pragma once

#include <vector>

#include "platform/win32api.h"

namespace sim {

// `featureReportByteLength` counts the report id byte, as HidP_GetCaps does; below 2 the interface
// declares no feature report at all, and its capabilities say 0.
std::vector<BYTE> MixerReportDescriptor(WORD featureReportByteLength);

}  // namespace sim
