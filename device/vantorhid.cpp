#include "device/vantorhid.h"

#include <cstring>
#include <memory>
#include <new>

#include "device/hidreport.h"
#include "diagnostics/logrecords.h"
#include "diagnostics/runlog.h"

CVantorHid::CVantorHid(WORD vendorId, WORD productId, int ordinal)
    : CKestHid(vendorId, productId, ordinal) {
    InitializeCriticalSection(&m_csFeature);
}

CVantorHid::~CVantorHid() {
    LogCommand();
    DeleteCriticalSection(&m_csFeature);
}

void CVantorHid::CountTransfer(bool ok, bool read) {
    ++m_command.transfers;
    if (runlog::IsOn()) {
        m_command.lastTransferAt = timeGetTime();
    }
    if (!ok) {
        ++(read ? m_command.failedReads : m_command.failedSends);
    }
}

void CVantorHid::LogCommand() {
    if (m_command.code.empty() || !runlog::IsOn()) {
        return;
    }
    const CommandRecord c = m_command;
    m_command.code.clear();
    runlog::Write(
        "command " + c.code + " took=" + std::to_string(c.lastTransferAt - c.sentAt) +
        "ms transfers=" + std::to_string(c.transfers) + " blocks=" + std::to_string(c.blocks) +
        " status-reads=" + std::to_string(c.statusReads) + " busy=" + std::to_string(c.busy) +
        " failed-reads=" + std::to_string(c.failedReads) +
        " failed-sends=" + std::to_string(c.failedSends) +
        " status=" + (c.answered ? runlog::Hex(c.lastStatus, 8) : std::string("none")));
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
    CountTransfer(ok, true);
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
    if (reportId == REPORT_ID_COMMAND) {
        LogCommand();
        m_command = CommandRecord{};
        m_command.code.assign(static_cast<const char*>(data), length);
        m_command.sentAt = timeGetTime();
    } else if (reportId == REPORT_ID_DATA) {
        ++m_command.blocks;
    }
    const BOOL ok = CHidReport(m_hDevice, report.get(), reportLength).Set(reportId);
    CountTransfer(ok, false);
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
        const BOOL read = ReadFeature(REPORT_ID_COMMAND, &word, sizeof word);
        ++m_command.statusReads;
        if (read) {
            *status = ntohl(word);
            m_command.answered = true;
            m_command.lastStatus = *status;
            m_command.busy += *status == STATUS_BUSY ? 1 : 0;
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
