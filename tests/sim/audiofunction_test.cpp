// The mixer's USB audio function as the three views of the system show it: a node beside the HID
// interface function in the device tree, an audio interface of the device-setup service, and wave
// devices that name that interface; the other audio devices beside it; and the discovery faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/findhiddevice.h"
#include "device/mixerids.h"
#include "device/vantorhid.h"
#include "platform/interfaceclasses.h"
#include "tests/support/simulatedsystem.h"

namespace {

struct AudioInterface {
    std::u16string path;
    DEVINST parent;
};

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

// The present audio interfaces, read as the wizard reads them: into a 1,030-byte detail buffer.
std::vector<AudioInterface> AudioInterfaces() {
    GUID audio = AUDIO_INTERFACE_CLASS;
    HDEVINFO set =
        SetupDiGetClassDevsA(&audio, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    std::vector<AudioInterface> interfaces;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &audio, index, &data);
         ++index) {
        alignas(SP_DEVICE_INTERFACE_DETAIL_DATA_W) BYTE buffer[1030] = {};
        auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(buffer);
        detail->cbSize = sizeof *detail;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        EXPECT_TRUE(
            SetupDiGetDeviceInterfaceDetailW(set, &data, detail, sizeof buffer, nullptr, &device));
        DEVINST parent = 0;
        EXPECT_EQ(CM_Get_Parent(&parent, device.DevInst, 0), CR_SUCCESS);
        interfaces.push_back({detail->DevicePath, parent});
    }
    SetupDiDestroyDeviceInfoList(set);
    return interfaces;
}

const AudioInterface* WithPathPart(const std::vector<AudioInterface>& interfaces,
                                   const std::string& part) {
    for (const AudioInterface& entry : interfaces) {
        if (Narrow(entry.path).find(part) != std::string::npos) {
            return &entry;
        }
    }
    return nullptr;
}

// The USB device that the mixer's HID interface belongs to: its node's grandparent.
DEVINST MixersUsbDevice() {
    DEVINST node = 0;
    EXPECT_TRUE(FindHidDevice(VENDOR_ID, PRODUCT_ID_RUN, 0, nullptr, 0, &node));
    DEVINST function = 0;
    DEVINST device = 0;
    EXPECT_EQ(CM_Get_Parent(&function, node, 0), CR_SUCCESS);
    EXPECT_EQ(CM_Get_Parent(&device, function, 0), CR_SUCCESS);
    return device;
}

struct WaveName {
    ULONG size = 0;  // bytes, NUL included; 0 when the driver does not answer
    std::u16string name;
};

std::vector<WaveName> WaveNames(bool playback) {
    std::vector<WaveName> names(playback ? waveOutGetNumDevs() : waveInGetNumDevs());
    for (UINT id = 0; id < names.size(); ++id) {
        const auto query = [&](UINT message, DWORD_PTR dw1, DWORD_PTR dw2) {
            const auto handle = static_cast<UINT_PTR>(id);
            return playback ? waveOutMessage(reinterpret_cast<HWAVEOUT>(handle), message, dw1, dw2)
                            : waveInMessage(reinterpret_cast<HWAVEIN>(handle), message, dw1, dw2);
        };
        WaveName& entry = names[id];
        if (query(DRV_QUERYDEVICEINTERFACESIZE, reinterpret_cast<DWORD_PTR>(&entry.size), 0) ==
            MMSYSERR_NOERROR) {
            std::vector<WCHAR> name(entry.size / sizeof(WCHAR));
            EXPECT_EQ(query(DRV_QUERYDEVICEINTERFACE, reinterpret_cast<DWORD_PTR>(name.data()),
                            entry.size),
                      MMSYSERR_NOERROR);
            entry.name = name.data();
        }
    }
    return names;
}

// The ids of the wave devices whose name is the path, exactly or ignoring case.
std::vector<UINT> Naming(const std::vector<WaveName>& names, const std::u16string& path,
                         bool ignoreCase) {
    std::vector<UINT> ids;
    for (UINT id = 0; id < names.size(); ++id) {
        if (ignoreCase ? lstrcmpiW(names[id].name.c_str(), path.c_str()) == 0
                       : names[id].name == path) {
            ids.push_back(id);
        }
    }
    return ids;
}

TEST(AudioFunction, HangsOffTheMixersUsbDeviceBesideItsHidInterface) {
    SimulatedSystem system;
    const DEVINST usbDevice = MixersUsbDevice();
    const std::vector<AudioInterface> interfaces = AudioInterfaces();
    ASSERT_EQ(interfaces.size(), 4u);
    const AudioInterface* mixer = WithPathPart(interfaces, "usb#vid_0ca8&pid_0801&mi_01#");
    ASSERT_NE(mixer, nullptr);
    EXPECT_EQ(mixer->parent, usbDevice);
    EXPECT_EQ(Narrow(mixer->path).rfind("\\\\?\\", 0), 0u);
    EXPECT_NE(Narrow(mixer->path).find("#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\global"),
              std::string::npos);
    // The same vendor's other product, listed before the mixer, is a USB device of its own.
    const AudioInterface* sameVendor = WithPathPart(interfaces, "vid_0ca8&pid_0810");
    ASSERT_NE(sameVendor, nullptr);
    EXPECT_LT(sameVendor, mixer);
    for (const AudioInterface& entry : interfaces) {
        EXPECT_EQ(entry.parent == usbDevice, &entry == mixer) << Narrow(entry.path);
    }

    // One capture and one playback device stand on the mixer's interface; another capture device
    // comes first.
    const std::vector<UINT> capture = Naming(WaveNames(false), mixer->path, false);
    ASSERT_EQ(capture.size(), 1u);
    EXPECT_GT(capture[0], 0u);
    EXPECT_EQ(Naming(WaveNames(true), mixer->path, false).size(), 1u);
}

TEST(AudioFunction, ComesAndGoesWithTheMixersApplicationMode) {
    struct Counts {
        std::size_t interfaces, capture, playback;
        bool operator==(const Counts&) const = default;
    };
    const auto counts = [] {
        return Counts{AudioInterfaces().size(), waveInGetNumDevs(), waveOutGetNumDevs()};
    };
    const Counts withMixer{4, 3, 2};
    const Counts without{3, 2, 1};
    {
        SimulatedSystem system;
        EXPECT_EQ(counts(), withMixer);
        CVantorHid mixer(VENDOR_ID, PRODUCT_ID_RUN, 0);
        ASSERT_TRUE(mixer.SendCommand("EFWU"));
        EXPECT_EQ(counts(), without);
        Sleep(sim::SimTiming{}.restartMs);
        EXPECT_EQ(counts(), without);  // back, in update mode
    }
    for (sim::MixerStart start : {sim::MixerStart::Update, sim::MixerStart::Absent}) {
        SimulatedSystem system(MixerStartingIn(start));
        EXPECT_EQ(counts(), without);
    }
}

TEST(AudioFunction, DiscoveryFaults) {
    struct Case {
        const char* what;
        void (*set)(sim::AudioConfig&);
    } const cases[] = {
        {"no wave devices", [](sim::AudioConfig& a) { a.noWaveDevices = true; }},
        {"other case", [](sim::AudioConfig& a) { a.nameInOtherCase = true; }},
        {"long name", [](sim::AudioConfig& a) { a.longInterfaceName = true; }},
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        c.set(config.audio);
        SimulatedSystem system(config);
        const std::vector<AudioInterface> interfaces = AudioInterfaces();
        const AudioInterface* mixer = WithPathPart(interfaces, "pid_0801&mi_01");
        ASSERT_NE(mixer, nullptr) << c.what;  // the interface is there in every case
        const std::vector<WaveName> names = WaveNames(false);
        const std::vector<UINT> exact = Naming(names, mixer->path, false);
        const std::vector<UINT> anyCase = Naming(names, mixer->path, true);
        if (config.audio.noWaveDevices) {
            EXPECT_EQ(names.size(), 2u);
            EXPECT_TRUE(anyCase.empty());
        } else if (config.audio.nameInOtherCase) {
            EXPECT_TRUE(exact.empty());
            ASSERT_EQ(anyCase.size(), 1u);
            EXPECT_NE(Narrow(names[anyCase[0]].name).find("VID_0CA8&PID_0801&MI_01"),
                      std::string::npos);
        } else {
            // The path still fits the detail buffer; the wave driver's name needs 1,026 bytes.
            EXPECT_EQ(mixer->path.size(), 512u);
            ASSERT_EQ(exact.size(), 1u);
            EXPECT_EQ(names[exact[0]].size, 1026u);
        }
    }
}

}  // namespace
