// The generic HID device object: finds an interface by USB identity and ordinal, opens it, and
// holds what the HID class driver reports about it.
#pragma once

#include "platform/win32api.h"

class CKestHid {
public:
    // Finds and opens the device, or throws the integer 0 with the failing step's last error left
    // in place. An object therefore only ever exists open.
    CKestHid(WORD vendorId, WORD productId, int ordinal);
    virtual ~CKestHid();
    CKestHid(const CKestHid&) = delete;
    CKestHid& operator=(const CKestHid&) = delete;

    // Opens the path and reads the device's description into the object. Fails only before the
    // handle exists, so a failed open leaves nothing to release.
    bool Open(const char* path, DWORD desiredAccess, DWORD shareMode, DWORD flagsAndAttributes);

    // The device node of the interface; the audio endpoint search climbs the tree from it.
    DEVINST m_DevInst;
    HANDLE m_hDevice;
    HIDD_ATTRIBUTES m_Attributes;
    // FeatureReportByteLength is the whole feature report, report id byte included; all zero when
    // the driver gave no preparsed data.
    HIDP_CAPS m_Caps;
    PHIDP_PREPARSED_DATA m_pPreparsedData;
    // Empty when the device does not supply the string.
    WCHAR m_szManufacturer[256];
    WCHAR m_szProduct[256];
    WCHAR m_szSerialNumber[256];
};
