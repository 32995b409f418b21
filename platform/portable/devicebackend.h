// What the device stand-ins ask of the devices on the system, in terms free of Win32 structures: a
// tree of device nodes, the interfaces present in a class, HID interfaces that open into channels,
// wave devices with the interfaces they are built on and capture streams, and whether Windows would
// still be installing a device. Two backends implement it: the simulated mixer (setup-sim) and the
// Linux system's own devices through hidraw, sysfs and ALSA (vantor-setup).
#pragma once

#include <cstdint>
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

enum class WaveDirection { Capture, Playback };

// A wave device as the multimedia system numbers it.
struct WaveDeviceEntry {
    // The device interface its driver names as its own, without the NUL; absent when the driver
    // does not answer that query.
    std::optional<std::u16string> interfaceName;
};

// A PCM format whose fields agree with each other; the stand-ins check that before a backend sees
// it.
struct PcmFormat {
    WORD channels = 0;
    DWORD samplesPerSecond = 0;
    WORD bitsPerSample = 0;
};

// One open capture stream: what stands behind a handle from waveInOpen. The results are multimedia
// results (MMSYSERR_*, WAVERR_*), 0 for success. A run of the stream begins at a start and is named
// by the process-clock time of that start; its bytes arrive on the process clock, and the
// stand-ins' audio thread moves them into the queued buffers as they arrive.
class WaveCapture {
public:
    virtual ~WaveCapture() = default;
    // What the driver answers when a buffer is prepared for it and when one is queued.
    virtual UINT Prepare() = 0;
    virtual UINT Queue() = 0;
    // A run begins at `now`; a refusal leaves the stream stopped.
    virtual UINT Start(DWORD now) = 0;
    // The run ends at `now` (stop, reset or close).
    virtual void Stop(DWORD now) = 0;
    // How many bytes of the run have arrived by `now`; it never shrinks. A stream that stalls stops
    // growing, so a buffer it should fill is never full.
    virtual std::uint64_t Arrived(DWORD startedAt, DWORD now) = 0;
    // The run's bytes [offset, offset + length), all of which have arrived.
    virtual void Read(DWORD startedAt, std::uint64_t offset, BYTE* data, std::size_t length) = 0;
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

    // The wave devices of a direction, in the order of their ids (id 0 first).
    virtual std::vector<WaveDeviceEntry> WaveDevices(WaveDirection direction) = 0;
    // Opens capture device `id` in a consistent PCM format; returns 0 and the stream, or the
    // multimedia result the driver refuses with (MMSYSERR_BADDEVICEID for an id that is not there
    // now, WAVERR_BADFORMAT for a format the device cannot record).
    virtual UINT OpenWaveCapture(UINT id, const PcmFormat& format,
                                 std::shared_ptr<WaveCapture>* capture) = 0;
};

// The backend the stand-ins serve from. Null, the default, is a system without devices. The
// backend must outlive every handle and set opened while it is current.
void SetDeviceBackend(DeviceBackend* backend);
DeviceBackend* CurrentDeviceBackend();

}  // namespace portable
