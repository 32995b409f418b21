#include "device/hidreport.h"

#include "diagnostics/logrecords.h"
#include "diagnostics/runlog.h"

namespace {

// Every feature transfer of the program passes here: a log that asks for them gets each one whole,
// as it went, so that a replay can answer the same.
void LogTransfer(bool set, BYTE reportId, const BYTE* report, DWORD length, BOOL ok) {
    if (!runlog::RecordsTransfers()) {
        return;
    }
    runlog::TransferRecord transfer;
    transfer.set = set;
    transfer.reportId = reportId;
    transfer.result = ok ? 0 : GetLastError();
    if (set || ok) {
        transfer.bytes.assign(report, report + length);
    }
    runlog::Write(runlog::FormatTransfer(transfer));
}

}  // namespace

BOOL CHidReport::Get(BYTE reportId) {
    m_pBuffer[0] = reportId;
    const BOOL ok = HidD_GetFeature(m_hDevice, m_pBuffer, m_dwLength) ? TRUE : FALSE;
    LogTransfer(false, reportId, m_pBuffer, m_dwLength, ok);
    return ok;
}

BOOL CHidReport::Set(BYTE reportId) {
    m_pBuffer[0] = reportId;
    const BOOL ok = HidD_SetFeature(m_hDevice, m_pBuffer, m_dwLength) ? TRUE : FALSE;
    LogTransfer(true, reportId, m_pBuffer, m_dwLength, ok);
    return ok;
}
