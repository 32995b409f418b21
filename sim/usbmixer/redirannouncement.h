// What the device side of usbredir tells the client before it connects a device: its interfaces,
// its endpoints and the device itself, all read from the descriptors the device declares.
#pragma once

#include <usbredirproto.h>

#include "sim/usbmixer/usbdescriptors.h"

namespace sim {

struct RedirAnnouncement {
    usb_redir_interface_info_header interfaces{};
    usb_redir_ep_info_header endpoints{};
    usb_redir_device_connect_header connect{};
};

// The interfaces are those of the configuration; an endpoint of any alternate setting is listed,
// since the client looks an endpoint up before it passes a transfer on to it.
RedirAnnouncement AnnouncementOf(const UsbIdentity& identity);

}  // namespace sim
