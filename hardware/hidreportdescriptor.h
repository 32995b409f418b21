// A HID report descriptor, read as the HID class definition defines it, into what Windows'
// HidP_GetCaps would say of the device: the usage page and usage of its first top-level
// collection, and the byte length of its longest input, output and feature report in that
// collection, the report id byte included (0 when there is no report of the kind).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/portable/devicebackend.h"

namespace hardware {

// False for a descriptor that is not well formed (an item cut short, a report id of 0, a
// collection not closed, state popped that was never pushed, ...); *caps is then unchanged.
bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size,
                           portable::HidCapabilities* caps);

}  // namespace hardware
