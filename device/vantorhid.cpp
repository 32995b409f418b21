#include "device/vantorhid.h"

#include <cstring>
#include <memory>
#include <new>

#include "device/hidreport.h"

CVantorHid::CVantorHid(WORD vendorId, WORD productId, int ordinal)
    : CKestHid(vendorId, productId, ordinal) {
    InitializeCriticalSection(&m_csFeature);
}

CVantorHid::~CVantorHid() {
    DeleteCriticalSection(&m_csFeature);
}

namespace {

// What both transfers check before anything reaches the device, and the fresh zero-filled report
// buffer each one works on, so that nothing of one report can leak into the next. Null, with the
// last error set, when the transfer must not go ahead.
std::unique_ptr<BYTE[]> NewReport(HANDLE hDevice, DWORD reportLength, const void* payload,
                                  DWORD length) {
    if (hDevice == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The report id takes byte 0, so the payload must be shorter than the report.
    if (payload == nullptr || length == 0 || length >= reportLength) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return nullptr;
    }
    std::unique_ptr<BYTE[]> report(new (std::nothrow) BYTE[reportLength]);
    if (!report) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memset(report.get(), 0, reportLength);
    return report;
}

}  // namespace

BOOL CVantorHid::ReadFeature(BYTE reportId, void* buffer, DWORD length) {
    const DWORD reportLength = m_Caps.FeatureReportByteLength;
    const std::unique_ptr<BYTE[]> report = NewReport(m_hDevice, reportLength, buffer, length);
    if (!report) {
        return FALSE;
    }
    EnterCriticalSection(&m_csFeature);
    const BOOL ok = CHidReport(m_hDevice, report.get(), reportLength).Get(reportId);
    LeaveCriticalSection(&m_csFeature);

    if (ok) {
        std::memcpy(buffer, report.get() + 1, length);
    }
    return ok;
}

BOOL CVantorHid::WriteFeature(BYTE reportId, const void* data, DWORD length) {
    const DWORD reportLength = m_Caps.FeatureReportByteLength;
    const std::unique_ptr<BYTE[]> report = NewReport(m_hDevice, reportLength, data, length);
    if (!report) {
        return FALSE;
    }
    std::memcpy(report.get() + 1, data, length);

    EnterCriticalSection(&m_csFeature);
    const BOOL ok = CHidReport(m_hDevice, report.get(), reportLength).Set(reportId);
    LeaveCriticalSection(&m_csFeature);
    return ok;
}

BOOL CVantorHid::SendCommand(const char* code) {
    if (code == nullptr || std::strlen(code) != 4) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return WriteFeature(REPORT_ID_COMMAND, code, 4);
}

bool CVantorHid::ReadStatusPass(DWORD* status) {
    DWORD word = 0;
    for (int tries = 0; tries < STATUS_POLL_TRIES; ++tries) {
        if (ReadFeature(REPORT_ID_COMMAND, &word, sizeof word)) {
            *status = ntohl(word);
            return true;
        }
        Sleep(1);
    }
    return false;
}

bool CVantorHid::PollStatus(DWORD* status) {
    bool busy = false;
    DWORD busySince = 0;
    for (;;) {
        DWORD word = 0;
        if (!ReadStatusPass(&word)) {
            return false;
        }
        if (word != STATUS_BUSY) {
            *status = word;
            return true;
        }
        // A busy answer is read again at once; only a long unbroken run of them ends the poll.
        const DWORD now = timeGetTime();
        if (!busy) {
            busy = true;
            busySince = now;
        } else if (now - busySince >= STATUS_BUSY_LIMIT_MS) {
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
    }
}
