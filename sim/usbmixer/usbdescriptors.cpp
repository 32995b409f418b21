#include "sim/usbmixer/usbdescriptors.h"

#include <algorithm>
#include <string>

#include "sim/reportdescriptor.h"

namespace sim {

namespace {

// The string indices, 0 where the device supplies no such string.
constexpr BYTE kManufacturerString = 1;
constexpr BYTE kProductString = 2;
constexpr BYTE kSerialString = 3;

constexpr BYTE kClassAudio = 0x01;
constexpr BYTE kClassHid = 0x03;
constexpr BYTE kAudioControl = 0x01;    // subclass
constexpr BYTE kAudioStreaming = 0x02;  // subclass
constexpr BYTE kClassSpecificInterface = 0x24;
constexpr BYTE kClassSpecificEndpoint = 0x25;
constexpr BYTE kTransferInterrupt = 0x03;
constexpr BYTE kTransferIsochronousAsync = 0x05;
constexpr BYTE kInputTerminal = 1;   // its terminal id
constexpr BYTE kOutputTerminal = 2;  // its terminal id

void Word(std::vector<BYTE>* out, unsigned value) {
    out->push_back(static_cast<BYTE>(value));
    out->push_back(static_cast<BYTE>(value >> 8));
}

BYTE IndexIf(const std::optional<std::u16string>& text, BYTE index) {
    return text ? index : 0;
}

void Interface(std::vector<BYTE>* out, BYTE number, BYTE alternate, BYTE endpoints, BYTE cls,
               BYTE subclass) {
    out->insert(out->end(), {9, descriptor_type::kInterface, number, alternate, endpoints, cls,
                             subclass, 0, 0});
}

void AudioFunction(std::vector<BYTE>* out) {
    Interface(out, kAudioControlInterface, 0, 0, kClassAudio, kAudioControl);
    // The control interface's header: UAC 1.0, the length of everything class-specific that
    // follows it, and the one streaming interface it owns.
    constexpr unsigned kControlLength = 9 + 12 + 9;
    out->insert(out->end(), {9, kClassSpecificInterface, 0x01});
    Word(out, 0x0100);
    Word(out, kControlLength);
    out->insert(out->end(), {1, kAudioStreamingInterface});
    // The mixer's inputs (a line connector, stereo: left and right front) ...
    out->insert(out->end(), {12, kClassSpecificInterface, 0x02, kInputTerminal});
    Word(out, 0x0603);
    out->insert(out->end(), {0, 2});
    Word(out, 0x0003);
    out->insert(out->end(), {0, 0});
    // ... recorded to the USB stream.
    out->insert(out->end(), {9, kClassSpecificInterface, 0x03, kOutputTerminal});
    Word(out, 0x0101);
    out->insert(out->end(), {0, kInputTerminal, 0});

    // The streaming interface: no bandwidth in setting 0, the stream in setting 1.
    Interface(out, kAudioStreamingInterface, 0, 0, kClassAudio, kAudioStreaming);
    Interface(out, kAudioStreamingInterface, 1, 1, kClassAudio, kAudioStreaming);
    out->insert(out->end(), {7, kClassSpecificInterface, 0x01, kOutputTerminal, 1});
    Word(out, 0x0001);  // PCM
    // Type I: two channels of two bytes, 16 bits each, at one sampling rate.
    out->insert(out->end(),
                {11, kClassSpecificInterface, 0x02, 0x01, 2, 2, 16, 1,
                 static_cast<BYTE>(kAudioSamplingRate), static_cast<BYTE>(kAudioSamplingRate >> 8),
                 static_cast<BYTE>(kAudioSamplingRate >> 16)});
    out->insert(out->end(),
                {9, descriptor_type::kEndpoint, kAudioInEndpoint, kTransferIsochronousAsync});
    Word(out, kAudioPacketBytes);
    out->insert(out->end(), {1, 0, 0});
    // The endpoint takes SET_CUR of its sampling frequency.
    out->insert(out->end(), {7, kClassSpecificEndpoint, 0x01, 0x01, 0, 0, 0});
}

}  // namespace

std::vector<BYTE> DeviceDescriptor(const UsbIdentity& identity) {
    const portable::HidDescription& d = identity.description;
    std::vector<BYTE> out{18, descriptor_type::kDevice};
    Word(&out, 0x0200);
    // The class is each interface's; endpoint 0 takes 64 bytes.
    out.insert(out.end(), {0, 0, 0, 64});
    Word(&out, d.vendorId);
    Word(&out, d.productId);
    Word(&out, d.versionNumber);
    out.insert(out.end(),
               {IndexIf(d.manufacturer, kManufacturerString), IndexIf(d.product, kProductString),
                IndexIf(d.serialNumber, kSerialString), 1});
    return out;
}

std::vector<BYTE> ReportDescriptor(const UsbIdentity& identity) {
    const portable::HidDescription& d = identity.description;
    return MixerReportDescriptor(d.hasPreparsedData ? d.caps.featureReportByteLength : 0);
}

std::vector<BYTE> HidDescriptor(const UsbIdentity& identity) {
    std::vector<BYTE> out{9, descriptor_type::kHid};
    Word(&out, 0x0111);
    out.insert(out.end(), {0, 1, descriptor_type::kHidReport});
    Word(&out, static_cast<unsigned>(ReportDescriptor(identity).size()));
    return out;
}

std::vector<BYTE> ConfigurationDescriptor(const UsbIdentity& identity) {
    std::vector<BYTE> out;
    Interface(&out, kHidInterface, 0, 1, kClassHid, 0);
    const std::vector<BYTE> hid = HidDescriptor(identity);
    out.insert(out.end(), hid.begin(), hid.end());
    // HID asks for an interrupt IN endpoint; the mixer never sends anything on it.
    out.insert(out.end(), {7, descriptor_type::kEndpoint, kHidInEndpoint, kTransferInterrupt});
    Word(&out, 64);
    out.push_back(10);  // ms
    if (identity.audio) {
        AudioFunction(&out);
    }
    // Bus-powered, 100 mA.
    std::vector<BYTE> configuration{9, descriptor_type::kConfiguration};
    Word(&configuration, static_cast<unsigned>(out.size() + 9));
    configuration.insert(configuration.end(),
                         {static_cast<BYTE>(identity.audio ? 3 : 1), 1, 0, 0x80, 50});
    configuration.insert(configuration.end(), out.begin(), out.end());
    return configuration;
}

std::optional<std::vector<BYTE>> StringDescriptor(const UsbIdentity& identity, BYTE index) {
    const portable::HidDescription& d = identity.description;
    if (index == 0) {
        return std::vector<BYTE>{4, descriptor_type::kString, 0x09, 0x04};
    }
    const std::optional<std::u16string>& text = index == kManufacturerString ? d.manufacturer
                                                : index == kProductString    ? d.product
                                                : index == kSerialString     ? d.serialNumber
                                                                             : std::nullopt;
    if (!text) {
        return std::nullopt;
    }
    // A descriptor's length is one byte: a longer text is cut.
    const std::size_t characters = std::min<std::size_t>(text->size(), 126);
    std::vector<BYTE> out{static_cast<BYTE>(2 + 2 * characters), descriptor_type::kString};
    for (std::size_t i = 0; i < characters; ++i) {
        Word(&out, (*text)[i]);
    }
    return out;
}

}  // namespace sim
