// The HID class services the program uses, from the system's own hid.dll (systemfunction.h says
// why they are not imported). Without it each fails as documented, with the reason as last error.
#include "platform/win32/systemfunction.h"
#include "platform/win32api.h"

using win32::SystemDll;
using win32::SystemFunction;

extern "C" {

void NTAPI HidD_GetHidGuid(LPGUID hidGuid) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetHidGuid");
    if (const auto getHidGuid = function.Get<decltype(&HidD_GetHidGuid)>()) {
        getHidGuid(hidGuid);
    } else {
        // It has no way to fail: the null GUID names no device interface class, so a search for
        // HID devices finds none.
        *hidGuid = GUID{};
    }
}

BOOLEAN NTAPI HidD_GetAttributes(HANDLE device, PHIDD_ATTRIBUTES attributes) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetAttributes");
    return function.Call<decltype(&HidD_GetAttributes)>(FALSE, device, attributes);
}

BOOLEAN NTAPI HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* preparsedData) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetPreparsedData");
    return function.Call<decltype(&HidD_GetPreparsedData)>(FALSE, device, preparsedData);
}

BOOLEAN NTAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsedData) {
    static const SystemFunction function(SystemDll::Hid, "HidD_FreePreparsedData");
    return function.Call<decltype(&HidD_FreePreparsedData)>(FALSE, preparsedData);
}

NTSTATUS NTAPI HidP_GetCaps(PHIDP_PREPARSED_DATA preparsedData, PHIDP_CAPS capabilities) {
    static const SystemFunction function(SystemDll::Hid, "HidP_GetCaps");
    return function.Call<decltype(&HidP_GetCaps)>(HIDP_STATUS_INVALID_PREPARSED_DATA, preparsedData,
                                                  capabilities);
}

BOOLEAN NTAPI HidD_GetFeature(HANDLE device, PVOID report, ULONG reportLength) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetFeature");
    return function.Call<decltype(&HidD_GetFeature)>(FALSE, device, report, reportLength);
}

BOOLEAN NTAPI HidD_SetFeature(HANDLE device, PVOID report, ULONG reportLength) {
    static const SystemFunction function(SystemDll::Hid, "HidD_SetFeature");
    return function.Call<decltype(&HidD_SetFeature)>(FALSE, device, report, reportLength);
}

BOOLEAN NTAPI HidD_GetManufacturerString(HANDLE device, PVOID buffer, ULONG bufferLength) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetManufacturerString");
    return function.Call<decltype(&HidD_GetManufacturerString)>(FALSE, device, buffer,
                                                                bufferLength);
}

BOOLEAN NTAPI HidD_GetProductString(HANDLE device, PVOID buffer, ULONG bufferLength) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetProductString");
    return function.Call<decltype(&HidD_GetProductString)>(FALSE, device, buffer, bufferLength);
}

BOOLEAN NTAPI HidD_GetSerialNumberString(HANDLE device, PVOID buffer, ULONG bufferLength) {
    static const SystemFunction function(SystemDll::Hid, "HidD_GetSerialNumberString");
    return function.Call<decltype(&HidD_GetSerialNumberString)>(FALSE, device, buffer,
                                                                bufferLength);
}

}  // extern "C"
