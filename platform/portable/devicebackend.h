// What the device stand-ins ask of the devices on the system, in terms free of Win32 structures: a
// tree of device nodes, the interfaces present in a class, HID interfaces that open into channels,
// and whether Windows would still be installing a device. The simulated mixer implements it; so can
// a backend over real hardware.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/portable/win32types.h"

namespace portable {

enum class InterfaceClass { Hid, Audio };

struct DeviceInterfaceEntry {
    std::string path;  // the device path that CreateFileA opens, "\\?\..."
    DWORD devInst;     // the device node that the interface belongs to
};

struct HidCapabilities {
    WORD usagePage = 0;
    WORD usage = 0;
    WORD inputReportByteLength = 0;
    WORD outputReportByteLength = 0;
    WORD featureReportByteLength = 0;  // the whole report, report id byte included
};

// What the HID class driver knows of an open interface.
struct HidDescription {
    WORD vendorId = 0;
    WORD productId = 0;
    WORD versionNumber = 0;
    // A string the device does not supply is absent, and its query fails.
    std::optional<std::u16string> manufacturer;
    std::optional<std::u16string> product;
    std::optional<std::u16string> serialNumber;
    // Without preparsed data the driver cannot parse the report descriptor: no capabilities.
    bool hasPreparsedData = true;
    HidCapabilities caps;
};

// One open HID interface: what stands behind a handle from CreateFileA. Each call returns 0 or the
// Win32 error that Windows would leave, e.g. ERROR_DEVICE_NOT_CONNECTED once the device has gone.
class HidChannel {
public:
    virtual ~HidChannel() = default;
    virtual DWORD Describe(HidDescription* description) = 0;
    // A whole feature report, report id in byte 0, of the length the capabilities give.
    virtual DWORD GetFeature(BYTE* report, std::size_t length) = 0;
    virtual DWORD SetFeature(const BYTE* report, std::size_t length) = 0;
};

class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;

    // The interfaces of a class present now, in the order the system enumerates them.
    virtual std::vector<DeviceInterfaceEntry> PresentInterfaces(InterfaceClass interfaceClass) = 0;
    // False when the node does not exist or is the root of the tree.
    virtual bool ParentNode(DWORD devInst, DWORD* parent) = 0;
    // Opens a HID interface path; returns 0 and the channel, or the Win32 error (a path that names
    // nothing present gives ERROR_FILE_NOT_FOUND).
    virtual DWORD OpenHid(const std::string& path, DWORD desiredAccess, DWORD shareMode,
                          std::shared_ptr<HidChannel>* channel) = 0;
    // True while a device that arrived is still being installed.
    virtual bool InstallationPending() = 0;
};

// The backend the stand-ins serve from. Null, the default, is a system without devices. The
// backend must outlive every handle and set opened while it is current.
void SetDeviceBackend(DeviceBackend* backend);
DeviceBackend* CurrentDeviceBackend();

}  // namespace portable
