#include "device/findwavedevice.h"

#include <cstring>

#include "platform/interfaceclasses.h"

namespace {

// Room for the interface path in the detail record: its fixed part and 513 wide characters.
const DWORD DETAIL_BUFFER_SIZE = 1030;
// A wave device's interface name, NUL included.
const DWORD INTERFACE_NAME_SIZE = 1024;

bool ParentOf(DEVINST node, DEVINST* parent) {
    const CONFIGRET result = CM_Get_Parent(parent, node, 0);
    if (result == CR_SUCCESS) {
        return true;
    }
    SetLastError(result == CR_OUT_OF_MEMORY ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_DATA);
    return false;
}

// The lowest id of a wave device of the direction that reports this interface as its own, or -1.
int WaveDeviceOn(const WCHAR* interfacePath, BOOL bPlayback) {
    const UINT count = bPlayback ? waveOutGetNumDevs() : waveInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        const auto query = [&](UINT message, DWORD_PTR first, DWORD_PTR second) {
            // The wave calls take the device id where a handle would go for these queries.
            return bPlayback ? waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(id)),
                                              message, first, second)
                             : waveInMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(id)),
                                             message, first, second);
        };
        ULONG size = 0;
        if (query(DRV_QUERYDEVICEINTERFACESIZE, reinterpret_cast<DWORD_PTR>(&size), 0) !=
                MMSYSERR_NOERROR ||
            size > INTERFACE_NAME_SIZE) {
            continue;
        }
        WCHAR name[INTERFACE_NAME_SIZE / sizeof(WCHAR)];
        std::memset(name, 0, sizeof name);
        if (query(DRV_QUERYDEVICEINTERFACE, reinterpret_cast<DWORD_PTR>(name), sizeof name) !=
            MMSYSERR_NOERROR) {
            continue;
        }
        // Drivers do not agree on the letter case of a path.
        if (lstrcmpiW(interfacePath, name) == 0) {
            return static_cast<int>(id);
        }
    }
    return -1;
}

}  // namespace

int FindWaveDevice(const CKestHid& device, BOOL bPlayback) {
    // The HID interface's node, its interface function, and the USB device they belong to: an
    // audio interface is the mixer's when its node hangs off that same USB device.
    DEVINST function = 0;
    DEVINST usbDevice = 0;
    if (!ParentOf(device.m_DevInst, &function) || !ParentOf(function, &usbDevice)) {
        return -1;
    }
    GUID audioClass = AUDIO_INTERFACE_CLASS;
    HDEVINFO interfaces =
        SetupDiGetClassDevsA(&audioClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (interfaces == INVALID_HANDLE_VALUE) {
        return -1;
    }
    SP_DEVICE_INTERFACE_DATA interfaceData;
    std::memset(&interfaceData, 0, sizeof interfaceData);
    interfaceData.cbSize = sizeof interfaceData;
    SP_DEVINFO_DATA deviceData;
    std::memset(&deviceData, 0, sizeof deviceData);
    deviceData.cbSize = sizeof deviceData;
    alignas(SP_DEVICE_INTERFACE_DETAIL_DATA_W) BYTE detailBuffer[DETAIL_BUFFER_SIZE];
    std::memset(detailBuffer, 0, sizeof detailBuffer);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(detailBuffer);
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);

    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(interfaces, nullptr, &audioClass, index, &interfaceData);
         ++index) {
        if (!SetupDiGetDeviceInterfaceDetailW(interfaces, &interfaceData, detail,
                                              DETAIL_BUFFER_SIZE, nullptr, &deviceData)) {
            continue;
        }
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, deviceData.DevInst, 0) != CR_SUCCESS || parent != usbDevice) {
            continue;
        }
        const int id = WaveDeviceOn(detail->DevicePath, bPlayback);
        if (id >= 0) {
            SetupDiDestroyDeviceInfoList(interfaces);
            return id;
        }
    }
    // Running out of audio interfaces means the mixer has no wave device of that direction.
    if (GetLastError() == ERROR_NO_MORE_ITEMS) {
        SetLastError(ERROR_BAD_UNIT);
    }
    const DWORD error = GetLastError();
    SetupDiDestroyDeviceInfoList(interfaces);
    SetLastError(error);
    return -1;
}
