// The device backend over the system's own devices: the HID interfaces are the hidraw nodes, the
// audio interfaces the sound cards, and the wave devices their PCM devices, recorded through
// alsa-lib. The device tree is sysfs' (each HID device, and each sound card's USB interface, under
// its USB device), and an installation is pending while udev still works on events, or while a
// node of the watched vendor is there but not yet open to us.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "hardware/hidrawdevices.h"
#include "hardware/soundcards.h"
#include "platform/portable/devicebackend.h"

namespace hardware {

class HardwareBackend : public portable::DeviceBackend {
public:
    // The watched vendor's nodes are waited for while udev makes them ours, and a node of theirs
    // that cannot be opened is explained once on `warnings`, with the way to fix it.
    HardwareBackend(WORD watchedVendor, std::ostream& warnings);

    std::vector<portable::DeviceInterfaceEntry> PresentInterfaces(
        portable::InterfaceClass interfaceClass) override;
    bool ParentNode(DWORD devInst, DWORD* parent) override;
    DWORD OpenHid(const std::string& path, DWORD desiredAccess, DWORD shareMode,
                  std::shared_ptr<portable::HidChannel>* channel) override;
    bool InstallationPending() override;

    std::vector<portable::WaveDeviceEntry> WaveDevices(portable::WaveDirection direction) override;
    UINT OpenWaveCapture(UINT id, const portable::PcmFormat& format,
                         std::shared_ptr<portable::WaveCapture>* capture) override;

    // How long a node may stay out of reach, or udev busy, before the wait gives up on it.
    static constexpr std::chrono::seconds kInstallationLimit{10};

private:
    using Clock = std::chrono::steady_clock;

    DWORD NodeFor(const std::string& syspath, DWORD parent);
    // The node of a device below a USB device: its own under the USB device's, or under the root.
    DWORD UsbNodeFor(const std::string& syspath, const std::string& usbDeviceSyspath);
    struct WaveDevice {
        SoundCard card;
        unsigned device;
    };
    std::vector<WaveDevice> PresentWaveDevices(portable::WaveDirection direction);
    void WarnOnce(const HidrawDevice& device, int error);
    bool UdevBusy(Clock::time_point now);

    WORD m_watchedVendor;
    std::ostream& m_warnings;
    std::mutex m_mutex;
    std::map<std::string, DWORD> m_nodes;  // sysfs path: its device node number
    std::map<DWORD, DWORD> m_parents;
    DWORD m_nextNode = 2;                              // 1 is the root
    std::map<std::string, HidrawDevice> m_interfaces;  // interface path: its node
    std::set<std::string> m_warned;
    std::map<std::string, Clock::time_point> m_outOfReachSince;
    std::optional<Clock::time_point> m_udevBusySince;
};

// The device path a HID interface has on Windows, made from the node: the HID class's interface
// GUID, the identity and the node's name.
std::string HidInterfacePath(const HidrawDevice& device);
// The same for a sound card's audio interface, with the audio class's GUID.
std::string AudioInterfacePath(const SoundCard& card);

// What a person does about a mixer's node that they cannot open, as one sentence without its end.
std::string NodeAccessFix();

}  // namespace hardware
