// The devices of someone else on the simulated system, which the wizard has to pass over: a
// keyboard that Windows holds for itself, another vendor's HID device, the computer's sound codec,
// and another product of the mixer's vendor with an audio function of its own. They never change.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/portable/devicebackend.h"
#include "sim/devicetree.h"

namespace sim {

class OtherDevices {
public:
    // Adds their nodes: the USB devices below the root hub, the codec below a controller of its
    // own.
    OtherDevices(DeviceTree* tree, DWORD rootHub);

    // Their interfaces of a class, listed before any mixer's.
    std::vector<portable::DeviceInterfaceEntry> Interfaces(
        portable::InterfaceClass interfaceClass) const;
    // The interface names of their wave devices of a direction, in the order of the devices' ids;
    // numbered before any mixer's.
    std::vector<std::u16string> WaveDeviceNames(portable::WaveDirection direction) const;

    // Opens a HID interface of theirs. False when the path is not one of theirs; otherwise true
    // with 0 and the channel, or the error of the refusal.
    bool OpenHid(const std::string& path, DWORD desiredAccess, DWORD* error,
                 std::shared_ptr<portable::HidChannel>* channel) const;
    // A capture on one of their devices: silence, arriving at the format's rate.
    static std::shared_ptr<portable::WaveCapture> OpenCapture(const portable::PcmFormat& format);

private:
    struct Hid {
        portable::DeviceInterfaceEntry entry;
        portable::HidDescription description;
        bool refusesReadWrite = false;  // held by the system, as keyboards and mice are
    };
    struct Audio {
        portable::DeviceInterfaceEntry entry;
        portable::WaveDirection direction;  // the one wave device built on the interface
    };

    std::vector<Hid> m_hid;
    std::vector<Audio> m_audio;
};

}  // namespace sim
