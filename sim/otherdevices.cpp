#include "sim/otherdevices.h"

#include <cstring>

#include "device/mixerids.h"
#include "platform/interfaceclasses.h"
#include "platform/portable/interfacepath.h"
#include "sim/processclock.h"

namespace sim {

namespace {

// Described, but its reports are not the mixer's: the device stalls them.
class OtherHidChannel final : public portable::HidChannel {
public:
    explicit OtherHidChannel(const portable::HidDescription& description)
        : m_description(description) {}
    DWORD Describe(portable::HidDescription* description) override {
        *description = m_description;
        return ERROR_SUCCESS;
    }
    DWORD GetFeature(BYTE*, std::size_t) override { return ERROR_GEN_FAILURE; }
    DWORD SetFeature(const BYTE*, std::size_t) override { return ERROR_GEN_FAILURE; }

private:
    portable::HidDescription m_description;
};

// Nothing plugged into the line-in: zeros, as fast as the format runs.
class SilentCapture final : public portable::WaveCapture {
public:
    explicit SilentCapture(const portable::PcmFormat& format)
        : m_blockAlign(std::uint64_t{format.channels} * format.bitsPerSample / 8),
          m_samplesPerSecond(format.samplesPerSecond) {}
    UINT Prepare() override { return MMSYSERR_NOERROR; }
    UINT Queue() override { return MMSYSERR_NOERROR; }
    UINT Start(DWORD) override { return MMSYSERR_NOERROR; }
    void Stop(DWORD) override {}
    std::uint64_t Arrived(DWORD startedAt, DWORD now) override {
        return BytesArrived(startedAt, now, m_samplesPerSecond, m_blockAlign);
    }
    void Read(DWORD, std::uint64_t, BYTE* data, std::size_t length) override {
        std::memset(data, 0, length);
    }

private:
    std::uint64_t m_blockAlign;
    std::uint64_t m_samplesPerSecond;
};

}  // namespace

OtherDevices::OtherDevices(DeviceTree* tree, DWORD rootHub) {
    // Listed before the mixer, as devices on lower ports are: a keyboard that Windows holds for
    // itself and two vendors' HID devices that open but are no mixer.
    struct HidDevice {
        WORD vendorId, productId;
        const char* usbInstance;
        const char* hidInstance;  // the node whose interface the wizard's search meets
        bool refuses;
    };
    const HidDevice hidDevices[] = {
        {0x046D, 0xC31C, "USB\\VID_046D&PID_C31C\\5&1C4D3E2&0&1",
         "HID\\VID_046D&PID_C31C&MI_00\\7&24B3A1C&0&0000", true},
        {0x04D8, 0x003F, "USB\\VID_04D8&PID_003F\\5&1C4D3E2&0&2",
         "HID\\VID_04D8&PID_003F\\7&3A07E5D9&0&0000", false},
        // Another vendor's device whose product id happens to be the mixer's.
        {0x16C0, PRODUCT_ID_RUN, "USB\\VID_16C0&PID_0801\\5&1C4D3E2&0&6",
         "HID\\VID_16C0&PID_0801\\7&1B9E40F2&0&0000", false},
    };
    for (const HidDevice& device : hidDevices) {
        const DWORD usb = tree->Add(rootHub, device.usbInstance);
        Hid hid;
        hid.entry.path = portable::InterfacePath(device.hidInstance, HID_INTERFACE_CLASS);
        hid.entry.devInst = tree->Add(usb, std::string("HID\\") + device.usbInstance + "\\0");
        hid.description.vendorId = device.vendorId;
        hid.description.productId = device.productId;
        hid.description.versionNumber = 0x0110;
        hid.description.manufacturer = u"Other Vendor";
        hid.description.caps.featureReportByteLength = device.refuses ? 0 : 9;
        hid.refusesReadWrite = device.refuses;
        m_hid.push_back(hid);
    }

    // The computer's own sound: a codec on the HD audio controller, whose line-in is the first
    // capture device.
    const DWORD controller = tree->Add(
        tree->GetRoot(), "PCI\\VEN_8086&DEV_A348&SUBSYS_22331043&REV_10\\3&11583659&0&FB");
    const std::string codecInstance =
        "HDAUDIO\\FUNC_01&VEN_10EC&DEV_0257&SUBSYS_10432233&REV_1000\\4&2C0C5E2&0&0001";
    const DWORD codec = tree->Add(controller, codecInstance);
    const std::string codecPath = portable::InterfacePath(codecInstance, AUDIO_INTERFACE_CLASS);
    m_audio.push_back({{codecPath + "\\elineinwave", codec}, portable::WaveDirection::Capture});
    m_audio.push_back({{codecPath + "\\espeakerwave", codec}, portable::WaveDirection::Playback});

    // Another product of the mixer's vendor with an audio function: the same vendor id, but a USB
    // device of its own.
    const std::string ids = portable::UsbIds(VENDOR_ID, 0x0810);
    const DWORD usb = tree->Add(rootHub, "USB\\" + ids + "\\5&1C4D3E2&0&5");
    const std::string functionInstance = "USB\\" + ids + "&MI_00\\6&3E7B2C1&0&0000";
    const DWORD function = tree->Add(usb, functionInstance);
    m_audio.push_back(
        {{portable::InterfacePath(functionInstance, AUDIO_INTERFACE_CLASS) + "\\global", function},
         portable::WaveDirection::Capture});
}

std::vector<portable::DeviceInterfaceEntry> OtherDevices::Interfaces(
    portable::InterfaceClass interfaceClass) const {
    std::vector<portable::DeviceInterfaceEntry> entries;
    if (interfaceClass == portable::InterfaceClass::Hid) {
        for (const Hid& hid : m_hid) {
            entries.push_back(hid.entry);
        }
    } else {
        for (const Audio& audio : m_audio) {
            entries.push_back(audio.entry);
        }
    }
    return entries;
}

std::vector<std::u16string> OtherDevices::WaveDeviceNames(portable::WaveDirection direction) const {
    std::vector<std::u16string> names;
    for (const Audio& audio : m_audio) {
        if (audio.direction == direction) {
            // Device paths are ASCII.
            names.emplace_back(audio.entry.path.begin(), audio.entry.path.end());
        }
    }
    return names;
}

bool OtherDevices::OpenHid(const std::string& path, DWORD desiredAccess, DWORD* error,
                           std::shared_ptr<portable::HidChannel>* channel) const {
    for (const Hid& hid : m_hid) {
        if (hid.entry.path == path) {
            if (hid.refusesReadWrite && (desiredAccess & (GENERIC_READ | GENERIC_WRITE)) != 0) {
                *error = ERROR_ACCESS_DENIED;
            } else {
                *channel = std::make_shared<OtherHidChannel>(hid.description);
                *error = ERROR_SUCCESS;
            }
            return true;
        }
    }
    return false;
}

std::shared_ptr<portable::WaveCapture> OtherDevices::OpenCapture(
    const portable::PcmFormat& format) {
    return std::make_shared<SilentCapture>(format);
}

}  // namespace sim
