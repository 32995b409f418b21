// One feature report on its way to or from the device: the device, the caller's buffer of the
// report's full length and the report id, which goes into byte 0 just before the transfer.
#pragma once

#include "platform/win32api.h"

class CHidReport {
public:
    CHidReport(HANDLE hDevice, BYTE* buffer, DWORD length)
        : m_hDevice(hDevice), m_pBuffer(buffer), m_dwLength(length) {}

    // The HID class driver transfers the whole report whatever the payload, so both always pass
    // the full length.
    BOOL Get(BYTE reportId);
    BOOL Set(BYTE reportId);

private:
    HANDLE m_hDevice;
    BYTE* m_pBuffer;
    DWORD m_dwLength;
};
