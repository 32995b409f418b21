#include "hardware/hardwarebackend.h"

#include <fcntl.h>
#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hardware/alsacapture.h"
#include "hardware/hidrawchannel.h"
#include "hardware/udevpointers.h"
#include "hid/errnotable.h"
#include "platform/interfaceclasses.h"
#include "platform/portable/interfacepath.h"

namespace hardware {

namespace {

constexpr DWORD kRootNode = 1;

}  // namespace

std::string HidInterfacePath(const HidrawDevice& device) {
    return portable::InterfacePath(
        "HID\\" + portable::UsbIds(device.description.vendorId, device.description.productId) +
            "\\hidraw" + std::to_string(device.number),
        HID_INTERFACE_CLASS);
}

std::string AudioInterfacePath(const SoundCard& card) {
    return portable::InterfacePath("USB\\" + portable::UsbIds(card.vendorId, card.productId) +
                                       "\\card" + std::to_string(card.number),
                                   AUDIO_INTERFACE_CLASS);
}

std::string NodeAccessFix() {
    return "install the package's udev rule (/usr/lib/udev/rules.d/70-vantor-setup.rules), which "
           "gives the node to the person at the seat, then plug the mixer in again or run "
           "\"udevadm trigger\"; or run vantor-setup as root";
}

HardwareBackend::HardwareBackend(WORD watchedVendor, std::ostream& warnings)
    : m_watchedVendor(watchedVendor), m_warnings(warnings) {}

DWORD HardwareBackend::NodeFor(const std::string& syspath, DWORD parent) {
    const auto [found, added] = m_nodes.emplace(syspath, m_nextNode);
    if (added) {
        m_parents[m_nextNode] = parent;
        ++m_nextNode;
    }
    return found->second;
}

DWORD HardwareBackend::UsbNodeFor(const std::string& syspath, const std::string& usbDeviceSyspath) {
    return NodeFor(syspath,
                   usbDeviceSyspath.empty() ? kRootNode : NodeFor(usbDeviceSyspath, kRootNode));
}

std::vector<portable::DeviceInterfaceEntry> HardwareBackend::PresentInterfaces(
    portable::InterfaceClass interfaceClass) {
    std::vector<portable::DeviceInterfaceEntry> entries;
    std::lock_guard lock(m_mutex);
    if (interfaceClass == portable::InterfaceClass::Audio) {
        // An audio interface is the sound card's USB interface, a sibling of the HID function
        // under the same USB device, as the audio function is on Windows.
        for (const SoundCard& card : PresentSoundCards()) {
            const std::string& node =
                card.interfaceSyspath.empty() ? card.usbDeviceSyspath : card.interfaceSyspath;
            entries.push_back({AudioInterfacePath(card),
                               node.empty()
                                   ? NodeFor("card" + std::to_string(card.number), kRootNode)
                                   : UsbNodeFor(node, card.usbDeviceSyspath)});
        }
        return entries;
    }
    for (HidrawDevice& device : PresentHidrawDevices()) {
        // The HID device node hangs under its USB interface and USB device, as the interface
        // function and the composite device on Windows.
        DWORD parent = kRootNode;
        if (!device.usbDeviceSyspath.empty()) {
            parent = UsbNodeFor(device.interfaceSyspath, device.usbDeviceSyspath);
        }
        const DWORD node = NodeFor(device.hidSyspath, parent);
        std::string path = HidInterfacePath(device);
        entries.push_back({path, node});
        m_interfaces[path] = std::move(device);
    }
    return entries;
}

bool HardwareBackend::ParentNode(DWORD devInst, DWORD* parent) {
    std::lock_guard lock(m_mutex);
    const auto found = m_parents.find(devInst);
    if (found == m_parents.end()) {
        return false;
    }
    *parent = found->second;
    return true;
}

void HardwareBackend::WarnOnce(const HidrawDevice& device, int error) {
    if (device.description.vendorId != m_watchedVendor || !m_warned.insert(device.devnode).second) {
        return;
    }
    m_warnings << "vantor-setup: the Vantor is at " << device.devnode
               << ", but it cannot be opened: " << std::strerror(error)
               << ".\nvantor-setup: " << NodeAccessFix() << ".\n";
    m_warnings.flush();
}

DWORD HardwareBackend::OpenHid(const std::string& path, DWORD /*desiredAccess*/,
                               DWORD /*shareMode*/,
                               std::shared_ptr<portable::HidChannel>* channel) {
    std::lock_guard lock(m_mutex);
    const auto found = m_interfaces.find(path);
    if (found == m_interfaces.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const HidrawDevice& device = found->second;
    // Every interface is probed with a read-write open, as the wizard's search does on Windows.
    const int fd = open(device.devnode.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            WarnOnce(device, error);
        }
        return hid::Win32ErrorForOpen(error);
    }
    // The number may have passed to another device since the nodes were listed: the device listed
    // has left (a mixer restarting), and the node is no longer its own.
    if (const int error =
            CheckIdentity(fd, device.description.vendorId, device.description.productId)) {
        close(fd);
        return hid::Win32ErrorForOpen(error);
    }
    portable::HidDescription description = device.description;
    description.hasPreparsedData = ReadCapabilities(fd, &description.caps);
    *channel = std::make_shared<HidrawChannel>(fd, description);
    return ERROR_SUCCESS;
}

bool HardwareBackend::UdevBusy(Clock::time_point now) {
    const UdevPtr<udev> context(udev_new());
    const UdevPtr<udev_queue> queue(context ? udev_queue_new(context.get()) : nullptr);
    const bool busy = queue && udev_queue_get_queue_is_empty(queue.get()) == 0;
    if (!busy) {
        m_udevBusySince.reset();
        return false;
    }
    // A udev that never settles must not keep the wizard for ever.
    if (!m_udevBusySince) {
        m_udevBusySince = now;
    }
    return now - *m_udevBusySince < kInstallationLimit;
}

bool HardwareBackend::InstallationPending() {
    std::lock_guard lock(m_mutex);
    const Clock::time_point now = Clock::now();
    bool pending = UdevBusy(now);
    for (const HidrawDevice& device : PresentHidrawDevices()) {
        if (device.description.vendorId != m_watchedVendor) {
            continue;
        }
        if (access(device.devnode.c_str(), R_OK | W_OK) == 0) {
            m_outOfReachSince.erase(device.hidSyspath);
            continue;
        }
        // udev has not made the node, or not given it to us, yet; a node that stays out of reach
        // (no rule for it) is given up on, and its open explains why.
        const auto since = m_outOfReachSince.emplace(device.hidSyspath, now).first->second;
        pending = pending || now - since < kInstallationLimit;
    }
    return pending;
}

std::vector<HardwareBackend::WaveDevice> HardwareBackend::PresentWaveDevices(
    portable::WaveDirection direction) {
    // One wave device per PCM device, card by card, as the multimedia system numbers them.
    std::vector<WaveDevice> devices;
    for (const SoundCard& card : PresentSoundCards()) {
        for (unsigned device : direction == portable::WaveDirection::Capture
                                   ? card.captureDevices
                                   : card.playbackDevices) {
            devices.push_back({card, device});
        }
    }
    return devices;
}

std::vector<portable::WaveDeviceEntry> HardwareBackend::WaveDevices(
    portable::WaveDirection direction) {
    std::vector<portable::WaveDeviceEntry> entries;
    for (const WaveDevice& device : PresentWaveDevices(direction)) {
        const std::string path = AudioInterfacePath(device.card);
        entries.push_back({std::u16string(path.begin(), path.end())});
    }
    return entries;
}

UINT HardwareBackend::OpenWaveCapture(UINT id, const portable::PcmFormat& format,
                                      std::shared_ptr<portable::WaveCapture>* capture) {
    const std::vector<WaveDevice> devices = PresentWaveDevices(portable::WaveDirection::Capture);
    if (id >= devices.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const WaveDevice& device = devices[id];
    return OpenAlsaCapture("hw:CARD=" + device.card.id + ",DEV=" + std::to_string(device.device),
                           format, capture);
}

}  // namespace hardware
