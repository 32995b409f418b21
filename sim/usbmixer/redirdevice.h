// One mixer served as a USB device over the usbredir protocol, on the device's side of it (the side
// usbredirhost plays for a real device): to the client, QEMU's usb-redir device, the mixer is a
// device plugged into a port of the guest's host controller. The device follows the mixer in the
// simulated system: when its HID interface leaves (a restart into or out of update mode, a pull of
// the cable) the device disconnects, and when it is back it connects again under the identity it
// came back with.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/portable/devicebackend.h"
#include "sim/usbmixer/audiostream.h"
#include "sim/usbmixer/controlpipe.h"

struct usbredirparser;

namespace sim {

class RedirDevice {
public:
    // `unit`: which of the system's mixers, 0 for the first.
    RedirDevice(portable::DeviceBackend* mixer, std::size_t unit);
    ~RedirDevice();
    RedirDevice(const RedirDevice&) = delete;
    RedirDevice& operator=(const RedirDevice&) = delete;

    // Serves the client on the connected socket `fd`, which the device now owns; a client served
    // before is dropped.
    void Attach(int fd);
    // The client's socket, -1 when there is none (it never came, or it went).
    int ClientFd() const { return m_fd; }
    // Whether the audio stream runs: its packets are due every millisecond.
    bool Streaming() const { return m_audio.Running(); }

    // Answers what the client has sent, follows the mixer's arrivals and departures, sends the
    // audio packets that are due and writes out what can be written without waiting.
    void Pump();

private:
    friend struct RedirCallbacks;

    // What the parser hands over, by the names of the packets.
    void OnHello();
    void OnReset();
    void OnSetConfiguration(std::uint64_t id, BYTE configuration);
    void OnGetConfiguration(std::uint64_t id);
    void OnSetAltSetting(std::uint64_t id, BYTE interface, BYTE alternate);
    void OnGetAltSetting(std::uint64_t id, BYTE interface);
    void OnStartIsoStream(std::uint64_t id, BYTE endpoint);
    void OnStopIsoStream(std::uint64_t id, BYTE endpoint);
    void OnStartInterruptReceiving(std::uint64_t id, BYTE endpoint);
    void OnStopInterruptReceiving(std::uint64_t id, BYTE endpoint);
    void OnControlPacket(std::uint64_t id, const SetupPacket& setup, const BYTE* data,
                         std::size_t length);
    int OnRead(BYTE* data, int count);
    int OnWrite(const BYTE* data, int count);

    struct Present {
        std::string path;
        portable::HidDescription description;
        std::shared_ptr<portable::HidChannel> channel;
    };

    void Drop();
    std::optional<Present> FindMixer();
    void FollowMixer();
    void Connect(Present mixer);
    void Disconnect();
    void SendAudio();

    portable::DeviceBackend* m_mixer;
    std::size_t m_unit;
    int m_fd = -1;
    usbredirparser* m_parser = nullptr;
    bool m_helloReceived = false;
    // The mixer the device stands for: its serial, once it was first seen, names it across its
    // restarts.
    std::optional<std::optional<std::u16string>> m_serial;
    std::string m_path;  // its HID interface while connected, empty while not
    UsbIdentity m_identity;
    std::unique_ptr<ControlPipe> m_pipe;
    BYTE m_configuration = 0;
    BYTE m_streamingAlternate = 0;
    AudioStream m_audio;
    std::uint64_t m_isoPacketId = 0;
};

}  // namespace sim
