// An open hidraw node as the HID class driver's view of an open interface: its description, and
// feature reports carried by the HIDIOCGFEATURE and HIDIOCSFEATURE ioctls.
#pragma once

#include "platform/portable/devicebackend.h"

namespace hardware {

class HidrawChannel : public portable::HidChannel {
public:
    // Takes the open descriptor over.
    HidrawChannel(int fd, const portable::HidDescription& description);
    ~HidrawChannel() override;
    HidrawChannel(const HidrawChannel&) = delete;
    HidrawChannel& operator=(const HidrawChannel&) = delete;

    // The description taken at the open, while the node is still that device.
    DWORD Describe(portable::HidDescription* description) override;
    DWORD GetFeature(BYTE* report, std::size_t length) override;
    DWORD SetFeature(const BYTE* report, std::size_t length) override;

private:
    int m_fd;
    portable::HidDescription m_description;
};

// 0 when the open node is the device of that identity; ENODEV when it is another's, as when the
// device has left and another has taken its number; or the error of the ioctl that asks.
int CheckIdentity(int fd, WORD vendorId, WORD productId);

// The node's capabilities from its own report descriptor; false when the descriptor cannot be read
// or is not well formed, as a device without preparsed data.
bool ReadCapabilities(int fd, portable::HidCapabilities* caps);

}  // namespace hardware
