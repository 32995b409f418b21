#include "sim/otherdevices.h"

#include <cstring>

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
        const char* hidPath;
        bool refuses;
    };
    const HidDevice hidDevices[] = {
        {0x046D, 0xC31C, "USB\\VID_046D&PID_C31C\\5&1C4D3E2&0&1",
         "\\\\?\\hid#vid_046d&pid_c31c&mi_00#7&24b3a1c&0&0000", true},
        {0x04D8, 0x003F, "USB\\VID_04D8&PID_003F\\5&1C4D3E2&0&2",
         "\\\\?\\hid#vid_04d8&pid_003f#7&3a07e5d9&0&0000", false},
        // Another vendor's device whose product id happens to be the mixer's.
        {0x16C0, 0x0801, "USB\\VID_16C0&PID_0801\\5&1C4D3E2&0&6",
         "\\\\?\\hid#vid_16c0&pid_0801#7&1b9e40f2&0&0000", false},
    };
    for (const HidDevice& device : hidDevices) {
        const DWORD usb = tree->Add(rootHub, device.usbInstance);
        Hid hid;
        hid.entry.path = std::string(device.hidPath) + kHidClassSuffix;
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
    const DWORD codec =
        tree->Add(controller,
                  "HDAUDIO\\FUNC_01&VEN_10EC&DEV_0257&SUBSYS_10432233&REV_1000\\4&2C0C5E2&0&0001");
    const std::string codecPath =
        std::string(
            "\\\\?\\hdaudio#func_01&ven_10ec&dev_0257&subsys_10432233&rev_1000#4&2c0c5e2&0&0001") +
        kAudioClassSuffix;
    m_audio.push_back({{codecPath + "\\elineinwave", codec}, portable::WaveDirection::Capture});
    m_audio.push_back({{codecPath + "\\espeakerwave", codec}, portable::WaveDirection::Playback});

    // Another product of the mixer's vendor with an audio function: the same vendor id, but a USB
    // device of its own.
    const DWORD usb = tree->Add(rootHub, "USB\\VID_0CA8&PID_0810\\5&1C4D3E2&0&5");
    const DWORD function = tree->Add(usb, "USB\\VID_0CA8&PID_0810&MI_00\\6&3E7B2C1&0&0000");
    m_audio.push_back({{std::string("\\\\?\\usb#vid_0ca8&pid_0810&mi_00#6&3e7b2c1&0&0000") +
                            kAudioClassSuffix + "\\global",
                        function},
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
