// Device information sets, the configuration manager's tree and the pending-installation query.
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/interfaceclasses.h"
#include "platform/portable/devicebackend.h"
#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

struct InterfaceSet {
    GUID interfaceClass;
    // A set is a snapshot: devices that come or go later do not change it.
    std::vector<portable::DeviceInterfaceEntry> members;
};

struct SetTable {
    std::mutex mutex;
    std::map<HDEVINFO, std::shared_ptr<InterfaceSet>> open;
    ULONG_PTR next = 0x10000;
};

SetTable& Sets() {
    static SetTable table;
    return table;
}

std::shared_ptr<InterfaceSet> SetOf(HDEVINFO handle) {
    SetTable& table = Sets();
    std::lock_guard lock(table.mutex);
    const auto found = table.open.find(handle);
    return found == table.open.end() ? nullptr : found->second;
}

// The member that SetupDiEnumDeviceInterfaces put into an interface record, or null with the last
// error set.
const portable::DeviceInterfaceEntry* MemberOf(const InterfaceSet& set,
                                               const SP_DEVICE_INTERFACE_DATA* data) {
    if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return nullptr;
    }
    if (data->Reserved == 0 || data->Reserved > set.members.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return &set.members[data->Reserved - 1];
}

// The A and W forms differ only in the width of a path character.
template <typename Detail, typename Char>
BOOL GetInterfaceDetail(HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                        Detail* detail, DWORD detailSize, LPDWORD requiredSize,
                        PSP_DEVINFO_DATA deviceInfo) {
    const std::shared_ptr<InterfaceSet> set = SetOf(DeviceInfoSet);
    if (set == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const portable::DeviceInterfaceEntry* member = MemberOf(*set, DeviceInterfaceData);
    if (member == nullptr) {
        return FALSE;
    }
    if ((detail == nullptr) != (detailSize == 0) ||
        (detail != nullptr && detail->cbSize != sizeof(Detail))) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (deviceInfo != nullptr && deviceInfo->cbSize != sizeof(SP_DEVINFO_DATA)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    const std::size_t pathChars = member->path.size() + 1;
    const DWORD required =
        static_cast<DWORD>(offsetof(Detail, DevicePath) + pathChars * sizeof(Char));
    if (requiredSize != nullptr) {
        *requiredSize = required;
    }
    if (detailSize < required) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // Device paths are ASCII, so widening is a copy of each character.
    for (std::size_t i = 0; i < pathChars; ++i) {
        detail->DevicePath[i] =
            static_cast<Char>(static_cast<unsigned char>(member->path.c_str()[i]));
    }
    if (deviceInfo != nullptr) {
        deviceInfo->ClassGuid = set->interfaceClass;
        deviceInfo->DevInst = member->devInst;
    }
    return TRUE;
}

}  // namespace

bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

HDEVINFO SetupDiGetClassDevsA(const GUID* ClassGuid, LPCSTR Enumerator, HWND hwndParent,
                              DWORD Flags) {
    if (Flags != (DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) || Enumerator != nullptr ||
        hwndParent != nullptr) {
        portable::Unsupported("SetupDiGetClassDevsA other than the present interfaces of a class");
    }
    if (ClassGuid == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto set = std::make_shared<InterfaceSet>();
    set->interfaceClass = *ClassGuid;
    portable::DeviceBackend* backend = portable::CurrentDeviceBackend();
    if (backend != nullptr) {
        // A class nobody registers interfaces of simply has no members.
        if (*ClassGuid == HID_INTERFACE_CLASS) {
            set->members = backend->PresentInterfaces(portable::InterfaceClass::Hid);
        } else if (*ClassGuid == AUDIO_INTERFACE_CLASS) {
            set->members = backend->PresentInterfaces(portable::InterfaceClass::Audio);
        }
    }
    SetTable& table = Sets();
    std::lock_guard lock(table.mutex);
    HDEVINFO handle = reinterpret_cast<HDEVINFO>(table.next);
    table.next += 8;
    table.open.emplace(handle, std::move(set));
    return handle;
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                 const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                 PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData) {
    if (DeviceInfoData != nullptr) {
        portable::Unsupported("SetupDiEnumDeviceInterfaces restricted to one device");
    }
    const std::shared_ptr<InterfaceSet> set = SetOf(DeviceInfoSet);
    if (set == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (InterfaceClassGuid == nullptr || DeviceInterfaceData == nullptr ||
        DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        SetLastError(DeviceInterfaceData == nullptr || InterfaceClassGuid == nullptr
                         ? ERROR_INVALID_PARAMETER
                         : ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (!(*InterfaceClassGuid == set->interfaceClass) || MemberIndex >= set->members.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    DeviceInterfaceData->InterfaceClassGuid = set->interfaceClass;
    DeviceInterfaceData->Flags = 0x1;  // SPINT_ACTIVE
    DeviceInterfaceData->Reserved = MemberIndex + 1;
    return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO DeviceInfoSet,
                                      PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A DeviceInterfaceDetailData,
                                      DWORD DeviceInterfaceDetailDataSize, LPDWORD RequiredSize,
                                      PSP_DEVINFO_DATA DeviceInfoData) {
    return GetInterfaceDetail<SP_DEVICE_INTERFACE_DETAIL_DATA_A, CHAR>(
        DeviceInfoSet, DeviceInterfaceData, DeviceInterfaceDetailData,
        DeviceInterfaceDetailDataSize, RequiredSize, DeviceInfoData);
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                      PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_W DeviceInterfaceDetailData,
                                      DWORD DeviceInterfaceDetailDataSize, LPDWORD RequiredSize,
                                      PSP_DEVINFO_DATA DeviceInfoData) {
    return GetInterfaceDetail<SP_DEVICE_INTERFACE_DETAIL_DATA_W, WCHAR>(
        DeviceInfoSet, DeviceInterfaceData, DeviceInterfaceDetailData,
        DeviceInterfaceDetailDataSize, RequiredSize, DeviceInfoData);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    SetTable& table = Sets();
    std::lock_guard lock(table.mutex);
    if (table.open.erase(DeviceInfoSet) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

CONFIGRET CM_Get_Parent(PDEVINST pdnDevInst, DEVINST dnDevInst, ULONG ulFlags) {
    if (pdnDevInst == nullptr) {
        return CR_INVALID_POINTER;
    }
    *pdnDevInst = 0;
    if (ulFlags != 0) {
        return CR_INVALID_FLAG;
    }
    if (dnDevInst == 0) {
        return CR_INVALID_DEVNODE;
    }
    portable::DeviceBackend* backend = portable::CurrentDeviceBackend();
    DWORD parent = 0;
    if (backend == nullptr || !backend->ParentNode(dnDevInst, &parent)) {
        return CR_NO_SUCH_DEVNODE;
    }
    *pdnDevInst = parent;
    return CR_SUCCESS;
}

DWORD CMP_WaitNoPendingInstallEvents(DWORD dwTimeout) {
    if (dwTimeout != 0) {
        // The system only ever asks without waiting and does its own polling.
        portable::Unsupported("CMP_WaitNoPendingInstallEvents with a time-out other than 0");
    }
    portable::DeviceBackend* backend = portable::CurrentDeviceBackend();
    return backend != nullptr && backend->InstallationPending() ? WAIT_TIMEOUT : WAIT_OBJECT_0;
}
