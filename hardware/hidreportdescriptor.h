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
// collection not closed, state popped that was never pushed, a report whose length would not fit
// in a WORD, in whichever collection, ...); *caps is then unchanged. Items of tags that no HID
// version defines yet are stepped over.
//
// The top-level collection's usage is the first usage declared before it: one of four bytes
// carries its own usage page; a shorter one takes the usage page declared last before the
// collection. A collection without a usage has usage page and usage 0.
bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size,
                           portable::HidCapabilities* caps);

}  // namespace hardware
