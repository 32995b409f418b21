// The guest's side of a usbredir connection, as QEMU's usb-redir device plays it: it says hello,
// records what the device announces, and makes the transfers a guest's drivers would make. Both
// ends are pumped in turn on a socket pair, so nothing waits on a clock.
#pragma once

#include <usbredirparser.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/usbmixer/controlpipe.h"
#include "sim/usbmixer/redirdevice.h"

class RedirGuest {
public:
    struct Reply {
        std::uint8_t status = 0;
        std::vector<BYTE> data;
    };

    // Connects to `device` as its client, in this process.
    explicit RedirGuest(sim::RedirDevice* device);
    // The client on the connected `socket`, which it owns; `peer` lets the other end work a
    // little, with a bound (a device in another process: a wait for the socket to be readable).
    RedirGuest(int socket, std::function<void()> peer);
    ~RedirGuest();
    RedirGuest(const RedirGuest&) = delete;
    RedirGuest& operator=(const RedirGuest&) = delete;

    // Pumps the device and the guest in turn until `done` holds: false when it does not within a
    // thousand rounds, or the connection broke.
    bool Until(const std::function<bool()>& done);

    // A control transfer and its reply: a stall is the status usb_redir_stall.
    Reply Control(const sim::SetupPacket& setup, const std::vector<BYTE>& out = {});
    Reply GetDescriptor(BYTE type, BYTE index, WORD length, BYTE requestType = 0x80);
    // The status packets, by the packets that ask for them: the status, and the configuration or
    // alternate setting they give in the reply's data.
    Reply SetConfiguration(BYTE configuration);
    Reply GetConfiguration();
    Reply GetAltSetting(BYTE interface);
    std::uint8_t SetAltSetting(BYTE interface, BYTE alternate);
    std::uint8_t StartIsoStream(BYTE endpoint);
    std::uint8_t StopIsoStream(BYTE endpoint);
    std::uint8_t StartInterruptReceiving(BYTE endpoint);

    // What the device announced, in order: "hello", "interfaces", "endpoints",
    // "connect 0CA8:0801 0214", "disconnect".
    std::vector<std::string> events;
    usb_redir_interface_info_header interfaces{};
    usb_redir_ep_info_header endpoints{};
    std::vector<std::vector<BYTE>> isoPackets;  // on the audio endpoint, in order
    std::vector<BYTE> isoEndpoints;             // the endpoint of each
    bool broken = false;

    // The parser's callbacks store here.
    std::map<std::uint64_t, Reply> replies;
    usbredirparser* parser = nullptr;
    int fd = -1;

private:
    std::uint64_t Next() { return m_nextId++; }
    Reply Await(std::uint64_t id);
    void Start(int fd);

    std::function<void()> m_peer;
    std::uint64_t m_nextId = 1;
};
