#include "sim/usbmixer/redirdevice.h"

#include <sys/socket.h>
#include <unistd.h>
#include <usbredirparser.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "sim/servedmixer.h"
#include "sim/usbmixer/redirannouncement.h"

namespace sim {

namespace {

// What may wait for a client that does not read before audio packets are dropped: a second of
// them, well above the 60 ms that QEMU keeps in flight.
constexpr std::uint64_t kMostBuffered = 1000 * (kAudioPacketBytes + 64);
// A pump that comes late sends no more than this many packets, the newest.
constexpr std::size_t kMostPacketsAtOnce = 100;

}  // namespace

// The parser's C callbacks, each handing over to the device its `priv` names.
struct RedirCallbacks {
    static RedirDevice* Of(void* priv) { return static_cast<RedirDevice*>(priv); }

    static void Log(void*, int level, const char* message) {
        if (level <= usbredirparser_error) {
            std::fprintf(stderr, "usb-mixer: usbredir: %s\n", message);
        }
    }
    static int Read(void* priv, uint8_t* data, int count) { return Of(priv)->OnRead(data, count); }
    static int Write(void* priv, uint8_t* data, int count) {
        return Of(priv)->OnWrite(data, count);
    }
    static void Hello(void* priv, usb_redir_hello_header*) { Of(priv)->OnHello(); }
    static void Reset(void* priv) { Of(priv)->OnReset(); }
    static void SetConfiguration(void* priv, uint64_t id, usb_redir_set_configuration_header* h) {
        Of(priv)->OnSetConfiguration(id, h->configuration);
    }
    static void GetConfiguration(void* priv, uint64_t id) { Of(priv)->OnGetConfiguration(id); }
    static void SetAltSetting(void* priv, uint64_t id, usb_redir_set_alt_setting_header* h) {
        Of(priv)->OnSetAltSetting(id, h->interface, h->alt);
    }
    static void GetAltSetting(void* priv, uint64_t id, usb_redir_get_alt_setting_header* h) {
        Of(priv)->OnGetAltSetting(id, h->interface);
    }
    static void StartIso(void* priv, uint64_t id, usb_redir_start_iso_stream_header* h) {
        Of(priv)->OnStartIsoStream(id, h->endpoint);
    }
    static void StopIso(void* priv, uint64_t id, usb_redir_stop_iso_stream_header* h) {
        Of(priv)->OnStopIsoStream(id, h->endpoint);
    }
    static void StartInterrupt(void* priv, uint64_t id,
                               usb_redir_start_interrupt_receiving_header* h) {
        Of(priv)->OnStartInterruptReceiving(id, h->endpoint);
    }
    static void StopInterrupt(void* priv, uint64_t id,
                              usb_redir_stop_interrupt_receiving_header* h) {
        Of(priv)->OnStopInterruptReceiving(id, h->endpoint);
    }
    static void Control(void* priv, uint64_t id, usb_redir_control_packet_header* h, uint8_t* data,
                        int length) {
        RedirDevice* device = Of(priv);
        device->OnControlPacket(id, {h->requesttype, h->request, h->value, h->index, h->length},
                                data, data != nullptr ? static_cast<std::size_t>(length) : 0);
        usbredirparser_free_packet_data(device->m_parser, data);
    }
    // The mixer has no bulk endpoint, and sends nothing on its interrupt endpoint.
    static void Bulk(void* priv, uint64_t id, usb_redir_bulk_packet_header* h, uint8_t* data, int) {
        RedirDevice* device = Of(priv);
        h->status = usb_redir_stall;
        h->length = 0;
        usbredirparser_send_bulk_packet(device->m_parser, id, h, nullptr, 0);
        usbredirparser_free_packet_data(device->m_parser, data);
    }
    static void Interrupt(void* priv, uint64_t id, usb_redir_interrupt_packet_header* h,
                          uint8_t* data, int) {
        RedirDevice* device = Of(priv);
        h->status = usb_redir_stall;
        h->length = 0;
        usbredirparser_send_interrupt_packet(device->m_parser, id, h, nullptr, 0);
        usbredirparser_free_packet_data(device->m_parser, data);
    }
    static void Iso(void* priv, uint64_t, usb_redir_iso_packet_header*, uint8_t* data, int) {
        usbredirparser_free_packet_data(Of(priv)->m_parser, data);
    }
    // Every transfer is answered as it comes, so a cancel finds nothing left to cancel, or a
    // transfer the device never answers because the mixer left in the middle of it.
    static void Cancel(void*, uint64_t) {}
    // The client's filter of which devices it takes: the mixer is one device, taken or not.
    static void FilterReject(void*) {}
    static void FilterFilter(void*, usbredirfilter_rule* rules, int) { std::free(rules); }
    static void DisconnectAck(void*) {}
};

RedirDevice::RedirDevice(portable::DeviceBackend* mixer, std::size_t unit)
    : m_mixer(mixer), m_unit(unit), m_audio(mixer) {}

RedirDevice::~RedirDevice() {
    Drop();
}

void RedirDevice::Drop() {
    m_audio.Stop();
    if (m_parser != nullptr) {
        usbredirparser_destroy(m_parser);
        m_parser = nullptr;
    }
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    m_helloReceived = false;
    m_path.clear();
    m_pipe.reset();
}

void RedirDevice::Attach(int fd) {
    Drop();
    m_fd = fd;
    m_parser = usbredirparser_create();
    m_parser->priv = this;
    m_parser->log_func = RedirCallbacks::Log;
    m_parser->read_func = RedirCallbacks::Read;
    m_parser->write_func = RedirCallbacks::Write;
    m_parser->hello_func = RedirCallbacks::Hello;
    m_parser->reset_func = RedirCallbacks::Reset;
    m_parser->set_configuration_func = RedirCallbacks::SetConfiguration;
    m_parser->get_configuration_func = RedirCallbacks::GetConfiguration;
    m_parser->set_alt_setting_func = RedirCallbacks::SetAltSetting;
    m_parser->get_alt_setting_func = RedirCallbacks::GetAltSetting;
    m_parser->start_iso_stream_func = RedirCallbacks::StartIso;
    m_parser->stop_iso_stream_func = RedirCallbacks::StopIso;
    m_parser->start_interrupt_receiving_func = RedirCallbacks::StartInterrupt;
    m_parser->stop_interrupt_receiving_func = RedirCallbacks::StopInterrupt;
    m_parser->control_packet_func = RedirCallbacks::Control;
    m_parser->bulk_packet_func = RedirCallbacks::Bulk;
    m_parser->interrupt_packet_func = RedirCallbacks::Interrupt;
    m_parser->iso_packet_func = RedirCallbacks::Iso;
    m_parser->cancel_data_packet_func = RedirCallbacks::Cancel;
    m_parser->filter_reject_func = RedirCallbacks::FilterReject;
    m_parser->filter_filter_func = RedirCallbacks::FilterFilter;
    m_parser->device_disconnect_ack_func = RedirCallbacks::DisconnectAck;
    // QEMU attaches a device to an XHCI port only when it has the last three.
    uint32_t caps[USB_REDIR_CAPS_SIZE] = {};
    for (const int cap :
         {usb_redir_cap_connect_device_version, usb_redir_cap_ep_info_max_packet_size,
          usb_redir_cap_32bits_bulk_length, usb_redir_cap_64bits_ids}) {
        usbredirparser_caps_set_cap(caps, cap);
    }
    usbredirparser_init(m_parser, "usb-mixer", caps, USB_REDIR_CAPS_SIZE,
                        usbredirparser_fl_usb_host);
}

int RedirDevice::OnRead(BYTE* data, int count) {
    const ssize_t got = recv(m_fd, data, static_cast<std::size_t>(count), MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return 0;
    }
    return got > 0 ? static_cast<int>(got) : -1;  // 0: the client has gone
}

int RedirDevice::OnWrite(const BYTE* data, int count) {
    const ssize_t sent =
        send(m_fd, data, static_cast<std::size_t>(count), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return 0;
    }
    return static_cast<int>(sent);
}

void RedirDevice::Pump() {
    if (m_parser == nullptr) {
        return;
    }
    if (usbredirparser_do_read(m_parser) == usbredirparser_read_io_error) {
        Drop();
        return;
    }
    if (m_helloReceived) {
        FollowMixer();
        SendAudio();
    }
    if (usbredirparser_has_data_to_write(m_parser) != 0 &&
        usbredirparser_do_write(m_parser) == usbredirparser_write_io_error) {
        Drop();
    }
}

void RedirDevice::OnHello() {
    // The device is announced only to a client that has said who it is.
    m_helloReceived = true;
}

std::optional<RedirDevice::Present> RedirDevice::FindMixer() {
    std::size_t position = 0;
    for (const portable::DeviceInterfaceEntry& entry :
         m_mixer->PresentInterfaces(portable::InterfaceClass::Hid)) {
        Present mixer{entry.path, {}, nullptr};
        if (m_mixer->OpenHid(entry.path, GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &mixer.channel) != ERROR_SUCCESS ||
            mixer.channel->Describe(&mixer.description) != ERROR_SUCCESS ||
            !IsMixer(mixer.description)) {
            continue;
        }
        // Once seen, the mixer is known by its serial; until then, by its place among the others.
        const bool ours = m_serial && *m_serial ? mixer.description.serialNumber == *m_serial
                                                : position == m_unit;
        ++position;
        if (ours) {
            return mixer;
        }
    }
    return std::nullopt;
}

void RedirDevice::FollowMixer() {
    if (!m_path.empty()) {
        for (const portable::DeviceInterfaceEntry& entry :
             m_mixer->PresentInterfaces(portable::InterfaceClass::Hid)) {
            if (entry.path == m_path) {
                return;
            }
        }
        Disconnect();
    }
    if (std::optional<Present> mixer = FindMixer()) {
        Connect(std::move(*mixer));
    }
}

void RedirDevice::Connect(Present mixer) {
    if (!m_serial) {
        m_serial = mixer.description.serialNumber;
    }
    m_path = mixer.path;
    m_identity = {std::move(mixer.description), MixerCaptureDevice(m_mixer).has_value()};
    m_pipe = std::make_unique<ControlPipe>(m_identity, std::move(mixer.channel));
    m_configuration = 0;
    m_streamingAlternate = 0;

    RedirAnnouncement announcement = AnnouncementOf(m_identity);
    usbredirparser_send_interface_info(m_parser, &announcement.interfaces);
    usbredirparser_send_ep_info(m_parser, &announcement.endpoints);
    usbredirparser_send_device_connect(m_parser, &announcement.connect);
}

void RedirDevice::Disconnect() {
    m_audio.Stop();
    m_path.clear();
    m_pipe.reset();
    usbredirparser_send_device_disconnect(m_parser);
}

void RedirDevice::SendAudio() {
    if (!m_audio.Running()) {
        return;
    }
    for (std::vector<BYTE>& packet : m_audio.DuePackets(kMostPacketsAtOnce)) {
        // A client that does not read loses packets, not the device its memory.
        if (usbredirparser_get_bufferered_output_size(m_parser) > kMostBuffered) {
            continue;
        }
        usb_redir_iso_packet_header header{kAudioInEndpoint, usb_redir_success,
                                           static_cast<uint16_t>(packet.size())};
        usbredirparser_send_iso_packet(m_parser, m_isoPacketId++, &header, packet.data(),
                                       static_cast<int>(packet.size()));
    }
}

void RedirDevice::OnReset() {
    m_audio.Stop();
    m_streamingAlternate = 0;
}

void RedirDevice::OnSetConfiguration(std::uint64_t id, BYTE configuration) {
    const bool known = configuration <= 1 && m_pipe != nullptr;
    if (known) {
        m_configuration = configuration;
    }
    usb_redir_configuration_status_header status{
        static_cast<uint8_t>(known ? usb_redir_success : usb_redir_stall), m_configuration};
    usbredirparser_send_configuration_status(m_parser, id, &status);
}

void RedirDevice::OnGetConfiguration(std::uint64_t id) {
    usb_redir_configuration_status_header status{usb_redir_success, m_configuration};
    usbredirparser_send_configuration_status(m_parser, id, &status);
}

void RedirDevice::OnSetAltSetting(std::uint64_t id, BYTE interface, BYTE alternate) {
    const bool streaming = m_identity.audio && interface == kAudioStreamingInterface;
    const bool known = m_pipe != nullptr && (alternate == 0 || (streaming && alternate == 1));
    if (known && streaming) {
        m_streamingAlternate = alternate;
        if (alternate == 0) {
            m_audio.Stop();  // no bandwidth, no stream
        }
    }
    usb_redir_alt_setting_status_header status{
        static_cast<uint8_t>(known ? usb_redir_success : usb_redir_stall), interface,
        static_cast<uint8_t>(known ? alternate : 0)};
    usbredirparser_send_alt_setting_status(m_parser, id, &status);
}

void RedirDevice::OnGetAltSetting(std::uint64_t id, BYTE interface) {
    const BYTE alternate =
        m_identity.audio && interface == kAudioStreamingInterface ? m_streamingAlternate : 0;
    usb_redir_alt_setting_status_header status{usb_redir_success, interface, alternate};
    usbredirparser_send_alt_setting_status(m_parser, id, &status);
}

void RedirDevice::OnStartIsoStream(std::uint64_t id, BYTE endpoint) {
    const bool started =
        m_pipe != nullptr && m_identity.audio && endpoint == kAudioInEndpoint && m_audio.Start();
    usb_redir_iso_stream_status_header status{
        static_cast<uint8_t>(started ? usb_redir_success : usb_redir_stall), endpoint};
    usbredirparser_send_iso_stream_status(m_parser, id, &status);
}

void RedirDevice::OnStopIsoStream(std::uint64_t id, BYTE endpoint) {
    if (endpoint == kAudioInEndpoint) {
        m_audio.Stop();
    }
    usb_redir_iso_stream_status_header status{usb_redir_success, endpoint};
    usbredirparser_send_iso_stream_status(m_parser, id, &status);
}

void RedirDevice::OnStartInterruptReceiving(std::uint64_t id, BYTE endpoint) {
    const bool known = m_pipe != nullptr && endpoint == kHidInEndpoint;
    usb_redir_interrupt_receiving_status_header status{
        static_cast<uint8_t>(known ? usb_redir_success : usb_redir_stall), endpoint};
    usbredirparser_send_interrupt_receiving_status(m_parser, id, &status);
}

void RedirDevice::OnStopInterruptReceiving(std::uint64_t id, BYTE endpoint) {
    usb_redir_interrupt_receiving_status_header status{usb_redir_success, endpoint};
    usbredirparser_send_interrupt_receiving_status(m_parser, id, &status);
}

void RedirDevice::OnControlPacket(std::uint64_t id, const SetupPacket& setup, const BYTE* data,
                                  std::size_t length) {
    ControlAnswer answer;
    if (m_pipe == nullptr) {
        answer.stall = true;  // a transfer that was on its way as the device left
    } else {
        answer = m_pipe->Transfer(setup, std::vector<BYTE>(data, data + length));
    }
    if (answer.gone) {
        Disconnect();  // the client ends what it still has on its way to the device
        return;
    }
    usb_redir_control_packet_header header{};
    header.endpoint = (setup.requestType & 0x80) != 0 ? 0x80 : 0x00;
    header.request = setup.request;
    header.requesttype = setup.requestType;
    header.status = answer.stall ? usb_redir_stall : usb_redir_success;
    header.value = setup.value;
    header.index = setup.index;
    // An OUT transfer's answer carries the length it took and no data.
    const bool in = (setup.requestType & 0x80) != 0;
    header.length = static_cast<uint16_t>(in ? answer.data.size() : answer.stall ? 0 : length);
    usbredirparser_send_control_packet(m_parser, id, &header,
                                       in && !answer.data.empty() ? answer.data.data() : nullptr,
                                       in ? static_cast<int>(answer.data.size()) : 0);
}

}  // namespace sim
