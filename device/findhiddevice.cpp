#include "device/findhiddevice.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Opens an interface only long enough to read its identity. An interface that refuses a read-write
// open (a keyboard that Windows holds, say) cannot be the mixer and is passed over.
bool InterfaceMatches(const char* path, WORD vendorId, WORD productId) {
    HANDLE probe =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return false;
    }
    HIDD_ATTRIBUTES attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.Size = sizeof attributes;
    // Only the vendor and product ids decide: never the version, usage or strings.
    const bool matches = HidD_GetAttributes(probe, &attributes) &&
                         attributes.VendorID == vendorId && attributes.ProductID == productId;
    CloseHandle(probe);
    return matches;
}

}  // namespace

BOOL FindHidDevice(WORD vendorId, WORD productId, int ordinal, char* pathBuffer, int pathLength,
                   DEVINST* pDevInst) {
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO interfaces =
        SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (interfaces == INVALID_HANDLE_VALUE) {
        return FALSE;
    }

    SP_DEVICE_INTERFACE_DATA interfaceData;
    std::memset(&interfaceData, 0, sizeof interfaceData);
    interfaceData.cbSize = sizeof interfaceData;
    SP_DEVINFO_DATA deviceData;
    std::memset(&deviceData, 0, sizeof deviceData);
    deviceData.cbSize = sizeof deviceData;

    // The detail buffer must hold the longest path of the set, so size it in a pass of its own.
    DWORD maxDetailSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(interfaces, nullptr, &hidGuid, index, &interfaceData);
         ++index) {
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailA(interfaces, &interfaceData, nullptr, 0, &required,
                                         nullptr);
        if (required > maxDetailSize) {
            maxDetailSize = required;
        }
    }

    std::unique_ptr<BYTE[]> detailBuffer(new (std::nothrow) BYTE[maxDetailSize + 1]);
    if (!detailBuffer) {
        SetupDiDestroyDeviceInfoList(interfaces);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    std::memset(detailBuffer.get(), 0, maxDetailSize + 1);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detailBuffer.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);

    bool found = false;
    int matches = 0;
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(interfaces, nullptr, &hidGuid, index, &interfaceData);
         ++index) {
        if (!SetupDiGetDeviceInterfaceDetailA(interfaces, &interfaceData, detail, maxDetailSize,
                                              nullptr, &deviceData)) {
            continue;
        }
        if (!InterfaceMatches(detail->DevicePath, vendorId, productId)) {
            continue;
        }
        if (matches++ == ordinal) {
            if (pathBuffer != nullptr) {
                lstrcpynA(pathBuffer, detail->DevicePath, pathLength);
            }
            if (pDevInst != nullptr) {
                *pDevInst = deviceData.DevInst;
            }
            found = true;
            break;
        }
    }

    DWORD error = ERROR_SUCCESS;
    if (!found) {
        // Running out of interfaces means the mixer is not there, which the wizard reports as a
        // unit that is not connected; any other enumeration failure keeps its own reason.
        if (GetLastError() == ERROR_NO_MORE_ITEMS) {
            SetLastError(ERROR_BAD_UNIT);
        }
        error = GetLastError();
    }
    SetupDiDestroyDeviceInfoList(interfaces);
    if (!found) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
