// The mixer device object: the feature-report transfers and the command channel on top of them.
// Commands go out as four characters in report 0xF0, data in 60-byte blocks in report 0xF1, and the
// mixer answers each with a big-endian status word read back from report 0xF0.
#pragma once

#include <string>

#include "device/kesthid.h"
#include "device/mixerstatus.h"
#include "platform/win32api.h"

const BYTE REPORT_ID_COMMAND = 0xF0;
const BYTE REPORT_ID_DATA = 0xF1;
const DWORD DATA_BLOCK_SIZE = 60;
// Status reads a poll makes before it gives up, 1 ms apart after each failure.
const int STATUS_POLL_TRIES = 30;
// A mixer that answers nothing but busy for this long is taken as stuck: the wizard offers no
// Cancel while it works, so the poll must end by itself.
const DWORD STATUS_BUSY_LIMIT_MS = 120000;

class CVantorHid : public CKestHid {
public:
    // Throws as CKestHid does; the lock exists only once the device is open.
    CVantorHid(WORD vendorId, WORD productId, int ordinal);
    ~CVantorHid() override;

    // Reads one report and copies its payload bytes 1 to length into the buffer; the report id
    // byte never reaches the caller. Length must be 1 to FeatureReportByteLength - 1.
    BOOL ReadFeature(BYTE reportId, void* buffer, DWORD length);
    // Sends one report whose payload is the data followed by zeros up to the full length.
    BOOL WriteFeature(BYTE reportId, const void* data, DWORD length);

    // Sends a four-character command code.
    BOOL SendCommand(const char* code);
    // Waits for the answer to the last command or data block: re-reads at once while the mixer is
    // busy. Fails when a pass of reads all fail (their last error stands) or after
    // STATUS_BUSY_LIMIT_MS of busy answers (ERROR_TIMEOUT).
    bool PollStatus(DWORD* status);
    // One pass of up to STATUS_POLL_TRIES status reads, 1 ms after each failed one. The status is
    // in host order and may be busy; callers that pace their own busy cycles ("BKFP") build on it.
    bool ReadStatusPass(DWORD* status);

    // Serialises single transfers on this object; a command and its poll are not bound together.
    CRITICAL_SECTION m_csFeature;

    // Writes what the last command cost to the run log, if it has not been written: the caller
    // says when a command's work (its poll, its blocks) is over. The next command and the object's
    // end write it otherwise.
    void LogCommand();

private:
    // What a command cost, from its sending to its last status read, for the run log: written when
    // the next command goes out or the object closes.
    struct CommandRecord {
        std::string code;  // empty before the first command
        DWORD sentAt = 0;
        DWORD lastTransferAt = 0;
        unsigned transfers = 0;
        unsigned statusReads = 0;
        unsigned busy = 0;
        unsigned failedReads = 0;
        unsigned failedSends = 0;
        unsigned blocks = 0;
        bool answered = false;
        DWORD lastStatus = 0;
    };
    void CountTransfer(bool ok, bool read);

    CommandRecord m_command;
};
