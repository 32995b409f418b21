#include "sim/usbmixer/redirannouncement.h"

#include <vector>

namespace sim {

namespace {

constexpr BYTE kEndpoint0Size = 64;

// The index of an endpoint in the protocol's tables: OUT 0..15, IN 16..31.
int EndpointIndex(BYTE address) {
    return ((address & 0x80) >> 3) | (address & 0x0F);
}

}  // namespace

RedirAnnouncement AnnouncementOf(const UsbIdentity& identity) {
    RedirAnnouncement announcement;
    usb_redir_interface_info_header& interfaces = announcement.interfaces;
    usb_redir_ep_info_header& endpoints = announcement.endpoints;
    for (int i = 0; i < 32; ++i) {
        endpoints.type[i] = usb_redir_type_invalid;
    }
    for (const int i : {0, 16}) {
        endpoints.type[i] = usb_redir_type_control;
        endpoints.max_packet_size[i] = kEndpoint0Size;
    }
    const std::vector<BYTE> configuration = ConfigurationDescriptor(identity);
    BYTE interface = 0;
    for (std::size_t at = 0; at + 1 < configuration.size() && configuration[at] >= 2;
         at += configuration[at]) {
        const BYTE* d = &configuration[at];
        if (d[1] == descriptor_type::kInterface) {
            interface = d[2];
            if (d[3] == 0) {  // the first alternate setting names the interface
                const uint32_t n = interfaces.interface_count++;
                interfaces.interface[n] = d[2];
                interfaces.interface_class[n] = d[5];
                interfaces.interface_subclass[n] = d[6];
                interfaces.interface_protocol[n] = d[7];
            }
        } else if (d[1] == descriptor_type::kEndpoint) {
            const int i = EndpointIndex(d[2]);
            endpoints.type[i] = d[3] & 0x03;
            endpoints.interval[i] = d[6];
            endpoints.interface[i] = interface;
            endpoints.max_packet_size[i] = static_cast<uint16_t>(d[4] | d[5] << 8);
        }
    }
    const portable::HidDescription& description = identity.description;
    announcement.connect.speed = usb_redir_speed_full;
    announcement.connect.vendor_id = description.vendorId;
    announcement.connect.product_id = description.productId;
    announcement.connect.device_version_bcd = description.versionNumber;
    return announcement;
}

}  // namespace sim
