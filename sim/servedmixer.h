// What every face that serves the simulated mixer on a host's device interfaces (the hidraw node
// through FUSE, the USB device through usbredir) reads to tell the mixer from the system's other
// devices and to find its audio function.
#pragma once

#include <optional>

#include "device/testsignal.h"
#include "platform/portable/devicebackend.h"

namespace sim {

// The format the mixer's audio function records in: 48 kHz, two channels of 16 bits.
constexpr portable::PcmFormat kMixerCaptureFormat{TEST_SIGNAL_CHANNELS, TEST_SIGNAL_RATE, 16};

// A Vantor in any of its modes, by the identity its HID interface reports.
bool IsMixer(const portable::HidDescription& description);

// The first capture device on the first mixer's audio interface (it has one only while it runs its
// firmware, 0x0801); the system's other devices, another of the vendor's among them, come before.
std::optional<UINT> MixerCaptureDevice(portable::DeviceBackend* backend);

}  // namespace sim
