#include "sim/usbmixer/controlpipe.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

// bmRequestType: direction, type and recipient.
constexpr BYTE kDeviceToHost = 0x80;
constexpr BYTE kTypeMask = 0x60;
constexpr BYTE kStandard = 0x00;
constexpr BYTE kClass = 0x20;
constexpr BYTE kRecipientMask = 0x1F;
constexpr BYTE kToInterface = 0x01;
constexpr BYTE kToEndpoint = 0x02;

// Standard requests.
constexpr BYTE kGetStatus = 0x00;
constexpr BYTE kClearFeature = 0x01;
constexpr BYTE kGetDescriptor = 0x06;
// HID class requests.
constexpr BYTE kHidGetReport = 0x01;
constexpr BYTE kHidSetIdle = 0x0A;
constexpr BYTE kHidSetReport = 0x09;
constexpr BYTE kFeatureReport = 0x03;  // the report type in wValue's high byte
// Audio class requests on an endpoint: the current value of its sampling frequency control.
constexpr BYTE kAudioSetCur = 0x01;
constexpr BYTE kAudioGetCur = 0x81;
constexpr BYTE kSamplingFrequencyControl = 0x01;

ControlAnswer Answer(std::vector<BYTE> data, WORD length) {
    data.resize(std::min<std::size_t>(data.size(), length));
    return {false, std::move(data)};
}

const ControlAnswer kStall{true, {}};

// A transfer that met the mixer leaving the bus gets no answer at all: the device is gone, as
// a pulled cable takes it, and the host learns so from the port. Any other failure is a stall.
ControlAnswer Outcome(DWORD result, std::vector<BYTE> report) {
    if (result == ERROR_DEVICE_NOT_CONNECTED) {
        return {false, {}, true};
    }
    if (result != ERROR_SUCCESS) {
        return kStall;
    }
    return {false, std::move(report)};
}

}  // namespace

ControlPipe::ControlPipe(UsbIdentity identity, std::shared_ptr<portable::HidChannel> channel)
    : m_identity(std::move(identity)), m_channel(std::move(channel)) {}

ControlAnswer ControlPipe::Transfer(const SetupPacket& setup, const std::vector<BYTE>& data) {
    const BYTE type = setup.requestType & kTypeMask;
    const BYTE recipient = setup.requestType & kRecipientMask;
    const bool in = (setup.requestType & kDeviceToHost) != 0;
    if (type == kStandard) {
        if (in && setup.request == kGetDescriptor) {
            return GetDescriptor(setup);
        }
        if (in && setup.request == kGetStatus) {
            return Answer({0, 0}, setup.length);  // bus-powered, no remote wakeup, not halted
        }
        if (!in && setup.request == kClearFeature) {
            return {};
        }
        return kStall;
    }
    if (type == kClass && recipient == kToInterface && (setup.index & 0xFF) == kHidInterface) {
        if (setup.request == kHidSetIdle && !in) {
            return {};
        }
        if ((setup.request == kHidSetReport && !in) || (setup.request == kHidGetReport && in)) {
            return Feature(setup, data);
        }
        return kStall;
    }
    if (type == kClass && recipient == kToEndpoint && m_identity.audio &&
        (setup.index & 0xFF) == kAudioInEndpoint && setup.value >> 8 == kSamplingFrequencyControl) {
        if (!in && setup.request == kAudioSetCur) {
            return {};  // the mixer records at its one rate whatever is asked
        }
        if (in && setup.request == kAudioGetCur) {
            return Answer(
                {static_cast<BYTE>(kAudioSamplingRate), static_cast<BYTE>(kAudioSamplingRate >> 8),
                 static_cast<BYTE>(kAudioSamplingRate >> 16)},
                setup.length);
        }
    }
    return kStall;
}

ControlAnswer ControlPipe::GetDescriptor(const SetupPacket& setup) const {
    const BYTE kind = static_cast<BYTE>(setup.value >> 8);
    const BYTE index = static_cast<BYTE>(setup.value);
    switch (kind) {
        case descriptor_type::kDevice:
            return Answer(DeviceDescriptor(m_identity), setup.length);
        case descriptor_type::kConfiguration:
            return Answer(ConfigurationDescriptor(m_identity), setup.length);
        case descriptor_type::kString: {
            std::optional<std::vector<BYTE>> text = StringDescriptor(m_identity, index);
            return text ? Answer(std::move(*text), setup.length) : kStall;
        }
        case descriptor_type::kHid:
            return Answer(HidDescriptor(m_identity), setup.length);
        case descriptor_type::kHidReport:
            return Answer(ReportDescriptor(m_identity), setup.length);
        default:
            // The device qualifier among them: a full-speed device has none.
            return kStall;
    }
}

ControlAnswer ControlPipe::Feature(const SetupPacket& setup, const std::vector<BYTE>& data) {
    if (setup.value >> 8 != kFeatureReport || setup.length == 0) {
        return kStall;
    }
    // On the wire a report with an id is the id and its bytes: the channel takes it as that.
    const BYTE reportId = static_cast<BYTE>(setup.value);
    if (setup.request == kHidSetReport) {
        if (data.empty() || data[0] != reportId) {
            return kStall;
        }
        return Outcome(m_channel->SetFeature(data.data(), data.size()), {});
    }
    const std::size_t reportLength = m_identity.description.caps.featureReportByteLength;
    std::vector<BYTE> report(reportLength == 0 ? setup.length
                                               : std::min<std::size_t>(setup.length, reportLength));
    report[0] = reportId;
    const DWORD result = m_channel->GetFeature(report.data(), report.size());
    return Outcome(result, std::move(report));
}

}  // namespace sim
