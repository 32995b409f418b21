// The HID class services over the channels behind open device handles.
#include <cstring>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "platform/interfaceclasses.h"
#include "platform/portable/devicehandles.h"
#include "platform/win32api.h"

// What HidD_GetPreparsedData hands out: on Windows an opaque block parsed from the report
// descriptor, here the capabilities it yields.
struct HIDP_PREPARSED_DATA {
    portable::HidCapabilities caps;
};

namespace {

struct PreparsedRegistry {
    std::mutex mutex;
    std::set<const HIDP_PREPARSED_DATA*> live;
};

PreparsedRegistry& Preparsed() {
    static PreparsedRegistry registry;
    return registry;
}

bool IsLive(const HIDP_PREPARSED_DATA* data) {
    PreparsedRegistry& registry = Preparsed();
    std::lock_guard lock(registry.mutex);
    return registry.live.count(data) != 0;
}

// The description of the device behind a handle, or nothing with the last error set.
std::optional<portable::HidDescription> DescribeHandle(HANDLE handle) {
    portable::OpenDevice device;
    if (!portable::FindOpenDevice(handle, &device)) {
        return std::nullopt;
    }
    portable::HidDescription description;
    const DWORD error = device.channel->Describe(&description);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return std::nullopt;
    }
    return description;
}

using StringField = std::optional<std::u16string> portable::HidDescription::*;

BOOLEAN GetString(HANDLE handle, StringField field, PVOID buffer, ULONG bufferLength) {
    const std::optional<portable::HidDescription> description = DescribeHandle(handle);
    if (!description) {
        return FALSE;
    }
    if (buffer == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    const std::optional<std::u16string>& text = (*description).*field;
    if (!text) {
        // A device without that string stalls the request for it.
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    // The whole string with its terminator, or nothing: a buffer too small for both fails and is
    // left as it was, so that no caller is handed a string without its end.
    const std::size_t bytes = (text->size() + 1) * sizeof(WCHAR);
    if (bytes > bufferLength) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, text->c_str(), bytes);
    return TRUE;
}

// The HID class driver refuses a feature buffer of any other length than the report's.
bool CheckFeatureBuffer(HANDLE handle, PVOID buffer, ULONG length, portable::OpenDevice* device) {
    if (!portable::FindOpenDevice(handle, device)) {
        return false;
    }
    if (buffer == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return false;
    }
    if (length != device->featureReportByteLength || length == 0) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return false;
    }
    return true;
}

}  // namespace

void HidD_GetHidGuid(LPGUID HidGuid) {
    *HidGuid = HID_INTERFACE_CLASS;
}

BOOLEAN HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes) {
    const std::optional<portable::HidDescription> description = DescribeHandle(HidDeviceObject);
    if (!description) {
        return FALSE;
    }
    if (Attributes == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    Attributes->Size = sizeof(HIDD_ATTRIBUTES);
    Attributes->VendorID = description->vendorId;
    Attributes->ProductID = description->productId;
    Attributes->VersionNumber = description->versionNumber;
    return TRUE;
}

BOOLEAN HidD_GetManufacturerString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
    return GetString(HidDeviceObject, &portable::HidDescription::manufacturer, Buffer,
                     BufferLength);
}

BOOLEAN HidD_GetProductString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
    return GetString(HidDeviceObject, &portable::HidDescription::product, Buffer, BufferLength);
}

BOOLEAN HidD_GetSerialNumberString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
    return GetString(HidDeviceObject, &portable::HidDescription::serialNumber, Buffer,
                     BufferLength);
}

BOOLEAN HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) {
    const std::optional<portable::HidDescription> description = DescribeHandle(HidDeviceObject);
    if (!description) {
        return FALSE;
    }
    if (PreparsedData == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (!description->hasPreparsedData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* data = new HIDP_PREPARSED_DATA{description->caps};
    PreparsedRegistry& registry = Preparsed();
    std::lock_guard lock(registry.mutex);
    registry.live.insert(data);
    *PreparsedData = data;
    return TRUE;
}

BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData) {
    PreparsedRegistry& registry = Preparsed();
    std::lock_guard lock(registry.mutex);
    if (registry.live.erase(PreparsedData) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    delete PreparsedData;
    return TRUE;
}

NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities) {
    if (PreparsedData == nullptr || !IsLive(PreparsedData)) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    *Capabilities = HIDP_CAPS{};
    const portable::HidCapabilities& caps = PreparsedData->caps;
    Capabilities->UsagePage = caps.usagePage;
    Capabilities->Usage = caps.usage;
    Capabilities->InputReportByteLength = caps.inputReportByteLength;
    Capabilities->OutputReportByteLength = caps.outputReportByteLength;
    Capabilities->FeatureReportByteLength = caps.featureReportByteLength;
    return HIDP_STATUS_SUCCESS;
}

BOOLEAN HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
    portable::OpenDevice device;
    if (!CheckFeatureBuffer(HidDeviceObject, ReportBuffer, ReportBufferLength, &device)) {
        return FALSE;
    }
    const DWORD error =
        device.channel->GetFeature(static_cast<BYTE*>(ReportBuffer), ReportBufferLength);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOLEAN HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
    portable::OpenDevice device;
    if (!CheckFeatureBuffer(HidDeviceObject, ReportBuffer, ReportBufferLength, &device)) {
        return FALSE;
    }
    const DWORD error =
        device.channel->SetFeature(static_cast<const BYTE*>(ReportBuffer), ReportBufferLength);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
