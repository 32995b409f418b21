// Endpoint 0 of the mixer's USB device: the standard requests the host's USB stack makes of it
// (descriptors, status), the HID class requests whose feature reports go to the mixer through its
// HID channel as they would over the wire, and the sampling frequency of the audio endpoint.
// Everything else stalls, as a device stalls a request it does not know.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "sim/usbmixer/usbdescriptors.h"

namespace sim {

// A control transfer's setup packet.
struct SetupPacket {
    BYTE requestType = 0;
    BYTE request = 0;
    WORD value = 0;
    WORD index = 0;
    WORD length = 0;
};

struct ControlAnswer {
    bool stall = false;
    std::vector<BYTE> data;  // what an IN transfer returns, no more than the setup's length
    bool gone = false;       // the mixer left the bus in the middle of the transfer
};

class ControlPipe {
public:
    ControlPipe(UsbIdentity identity, std::shared_ptr<portable::HidChannel> channel);

    // `data`: what an OUT transfer brings.
    ControlAnswer Transfer(const SetupPacket& setup, const std::vector<BYTE>& data);

private:
    ControlAnswer GetDescriptor(const SetupPacket& setup) const;
    ControlAnswer Feature(const SetupPacket& setup, const std::vector<BYTE>& data);

    UsbIdentity m_identity;
    std::shared_ptr<portable::HidChannel> m_channel;
};

}  // namespace sim
