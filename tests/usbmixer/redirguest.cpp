#include "tests/usbmixer/redirguest.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace {

RedirGuest* Of(void* priv) {
    return static_cast<RedirGuest*>(priv);
}

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

void Store(void* priv, std::uint64_t id, std::uint8_t status, const BYTE* data, int length) {
    Of(priv)->replies[id] = {status, std::vector<BYTE>(data, data + (data ? length : 0))};
}

void Install(usbredirparser* p) {
    p->log_func = [](void*, int level, const char* message) {
        if (level <= usbredirparser_error) {
            std::fprintf(stderr, "guest: usbredir: %s\n", message);
        }
    };
    p->read_func = [](void* priv, uint8_t* data, int count) {
        const ssize_t got = recv(Of(priv)->fd, data, static_cast<std::size_t>(count), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return 0;
        }
        return got > 0 ? static_cast<int>(got) : -1;
    };
    p->write_func = [](void* priv, uint8_t* data, int count) {
        return static_cast<int>(
            send(Of(priv)->fd, data, static_cast<std::size_t>(count), MSG_DONTWAIT | MSG_NOSIGNAL));
    };
    p->hello_func = [](void* priv, usb_redir_hello_header*) {
        Of(priv)->events.push_back("hello");
    };
    p->interface_info_func = [](void* priv, usb_redir_interface_info_header* h) {
        Of(priv)->interfaces = *h;
        Of(priv)->events.push_back("interfaces");
    };
    p->ep_info_func = [](void* priv, usb_redir_ep_info_header* h) {
        Of(priv)->endpoints = *h;
        Of(priv)->events.push_back("endpoints");
    };
    p->device_connect_func = [](void* priv, usb_redir_device_connect_header* h) {
        Of(priv)->events.push_back("connect " + Hex4(h->vendor_id) + ":" + Hex4(h->product_id) +
                                   " " + Hex4(h->device_version_bcd));
    };
    p->device_disconnect_func = [](void* priv) { Of(priv)->events.push_back("disconnect"); };
    p->control_packet_func = [](void* priv, uint64_t id, usb_redir_control_packet_header* h,
                                uint8_t* data, int length) {
        Store(priv, id, h->status, data, length);
        usbredirparser_free_packet_data(Of(priv)->parser, data);
    };
    p->configuration_status_func = [](void* priv, uint64_t id,
                                      usb_redir_configuration_status_header* h) {
        Store(priv, id, h->status, &h->configuration, 1);
    };
    p->alt_setting_status_func = [](void* priv, uint64_t id,
                                    usb_redir_alt_setting_status_header* h) {
        Store(priv, id, h->status, &h->alt, 1);
    };
    p->iso_stream_status_func = [](void* priv, uint64_t id, usb_redir_iso_stream_status_header* h) {
        Store(priv, id, h->status, nullptr, 0);
    };
    p->interrupt_receiving_status_func = [](void* priv, uint64_t id,
                                            usb_redir_interrupt_receiving_status_header* h) {
        Store(priv, id, h->status, nullptr, 0);
    };
    p->iso_packet_func = [](void* priv, uint64_t, usb_redir_iso_packet_header* h, uint8_t* data,
                            int length) {
        Of(priv)->isoPackets.emplace_back(data, data + length);
        Of(priv)->isoEndpoints.push_back(h->endpoint);
        usbredirparser_free_packet_data(Of(priv)->parser, data);
    };
}

}  // namespace

RedirGuest::RedirGuest(sim::RedirDevice* device) : m_peer([device] { device->Pump(); }) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        broken = true;
        return;
    }
    device->Attach(ends[0]);
    Start(ends[1]);
}

RedirGuest::RedirGuest(int socket, std::function<void()> peer) : m_peer(std::move(peer)) {
    Start(socket);
}

void RedirGuest::Start(int socket) {
    fd = socket;
    parser = usbredirparser_create();
    parser->priv = this;
    Install(parser);
    uint32_t caps[USB_REDIR_CAPS_SIZE] = {};
    for (const int cap :
         {usb_redir_cap_connect_device_version, usb_redir_cap_ep_info_max_packet_size,
          usb_redir_cap_32bits_bulk_length, usb_redir_cap_64bits_ids}) {
        usbredirparser_caps_set_cap(caps, cap);
    }
    usbredirparser_init(parser, "guest", caps, USB_REDIR_CAPS_SIZE, 0);
}

RedirGuest::~RedirGuest() {
    if (parser != nullptr) {
        usbredirparser_destroy(parser);
    }
    if (fd >= 0) {
        close(fd);
    }
}

bool RedirGuest::Until(const std::function<bool()>& done) {
    for (int round = 0; round < 1000 && !broken; ++round) {
        if (done()) {
            return true;
        }
        if (usbredirparser_has_data_to_write(parser) != 0 && usbredirparser_do_write(parser) != 0) {
            broken = true;
        }
        m_peer();
        if (usbredirparser_do_read(parser) == usbredirparser_read_io_error) {
            broken = true;
        }
    }
    return !broken && done();
}

RedirGuest::Reply RedirGuest::Await(std::uint64_t id) {
    if (!Until([&] { return replies.count(id) != 0; })) {
        return {0xFF, {}};
    }
    return replies[id];
}

RedirGuest::Reply RedirGuest::Control(const sim::SetupPacket& setup, const std::vector<BYTE>& out) {
    usb_redir_control_packet_header header{};
    header.endpoint = (setup.requestType & 0x80) != 0 ? 0x80 : 0x00;
    header.request = setup.request;
    header.requesttype = setup.requestType;
    header.value = setup.value;
    header.index = setup.index;
    header.length = setup.length;
    const std::uint64_t id = Next();
    std::vector<BYTE> data = out;
    usbredirparser_send_control_packet(parser, id, &header, data.empty() ? nullptr : data.data(),
                                       static_cast<int>(data.size()));
    return Await(id);
}

RedirGuest::Reply RedirGuest::GetDescriptor(BYTE type, BYTE index, WORD length, BYTE requestType) {
    return Control({requestType, 0x06, static_cast<WORD>(type << 8 | index), 0, length});
}

RedirGuest::Reply RedirGuest::SetConfiguration(BYTE configuration) {
    const std::uint64_t id = Next();
    usb_redir_set_configuration_header header{configuration};
    usbredirparser_send_set_configuration(parser, id, &header);
    return Await(id);
}

RedirGuest::Reply RedirGuest::GetConfiguration() {
    const std::uint64_t id = Next();
    usbredirparser_send_get_configuration(parser, id);
    return Await(id);
}

RedirGuest::Reply RedirGuest::GetAltSetting(BYTE interface) {
    const std::uint64_t id = Next();
    usb_redir_get_alt_setting_header header{interface};
    usbredirparser_send_get_alt_setting(parser, id, &header);
    return Await(id);
}

std::uint8_t RedirGuest::SetAltSetting(BYTE interface, BYTE alternate) {
    const std::uint64_t id = Next();
    usb_redir_set_alt_setting_header header{interface, alternate};
    usbredirparser_send_set_alt_setting(parser, id, &header);
    return Await(id).status;
}

std::uint8_t RedirGuest::StartIsoStream(BYTE endpoint) {
    const std::uint64_t id = Next();
    usb_redir_start_iso_stream_header header{endpoint, 10, 6};
    usbredirparser_send_start_iso_stream(parser, id, &header);
    return Await(id).status;
}

std::uint8_t RedirGuest::StopIsoStream(BYTE endpoint) {
    const std::uint64_t id = Next();
    usb_redir_stop_iso_stream_header header{endpoint};
    usbredirparser_send_stop_iso_stream(parser, id, &header);
    return Await(id).status;
}

std::uint8_t RedirGuest::StartInterruptReceiving(BYTE endpoint) {
    const std::uint64_t id = Next();
    usb_redir_start_interrupt_receiving_header header{endpoint};
    usbredirparser_send_start_interrupt_receiving(parser, id, &header);
    return Await(id).status;
}
