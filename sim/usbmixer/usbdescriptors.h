// The mixer's USB descriptors, made from what its HID interface reports (identity, version,
// strings, feature report length) and the report descriptor that interface declares: a full-speed
// composite device with the HID interface and, in application mode, a USB Audio Class 1 function
// that records 48 kHz, two channels of 16 bits, on an isochronous IN endpoint.
#pragma once

#include <optional>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "platform/win32api.h"

namespace sim {

// What the device is now: the identity and strings of its HID interface, and whether its audio
// function is there (in application mode only).
struct UsbIdentity {
    portable::HidDescription description;
    bool audio = false;
};

// Where the functions are: interface numbers and endpoint addresses.
constexpr BYTE kHidInterface = 0;
constexpr BYTE kAudioControlInterface = 1;
constexpr BYTE kAudioStreamingInterface = 2;
constexpr BYTE kHidInEndpoint = 0x81;
constexpr BYTE kAudioInEndpoint = 0x82;
// One millisecond frame of audio: 48 frames of two 16-bit samples.
constexpr WORD kAudioPacketBytes = 192;
constexpr DWORD kAudioSamplingRate = 48000;

// The descriptor types a GET_DESCRIPTOR asks for in wValue's high byte.
namespace descriptor_type {
constexpr BYTE kDevice = 0x01;
constexpr BYTE kConfiguration = 0x02;
constexpr BYTE kString = 0x03;
constexpr BYTE kInterface = 0x04;
constexpr BYTE kEndpoint = 0x05;
constexpr BYTE kHid = 0x21;
constexpr BYTE kHidReport = 0x22;
}  // namespace descriptor_type

std::vector<BYTE> DeviceDescriptor(const UsbIdentity& identity);
// The one configuration, with every interface, class descriptor and endpoint in it.
std::vector<BYTE> ConfigurationDescriptor(const UsbIdentity& identity);
// The HID interface's report descriptor, and the HID descriptor that announces it.
std::vector<BYTE> ReportDescriptor(const UsbIdentity& identity);
std::vector<BYTE> HidDescriptor(const UsbIdentity& identity);
// String 0 is the list of languages (US English); absent for a string the device does not supply.
std::optional<std::vector<BYTE>> StringDescriptor(const UsbIdentity& identity, BYTE index);

}  // namespace sim
