// The mixer's side of the feature-report command channel: what it does with each command and data
// block in application and update mode, the status word it answers, its flash images, its test
// signal and Dante counter, and the command and block failures it was told to show.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "device/mixerstatus.h"
#include "sim/dantecounter.h"
#include "sim/flashimage.h"
#include "sim/simconfig.h"
#include "sim/testsignal.h"

namespace sim {

// What a transfer that the faults make fail leaves as its error: Windows' word for a control
// transfer that went wrong on the wire. A report the mixer does not have is stalled instead, with
// ERROR_GEN_FAILURE.
inline constexpr DWORD kTransferError = ERROR_IO_DEVICE;

class MixerProtocol {
public:
    // What the mixer does to the bus after taking a report.
    enum class Restart { None, IntoUpdate, IntoApplication, StayInUpdate };

    explicit MixerProtocol(const SimConfig& config);

    // The mixer has started under this identity: no pass open, no status pending.
    void Start(WORD productId);
    WORD GetProductId() const { return m_productId; }

    // A report that the host set. Returns 0 or the Win32 error the transfer fails with; `what`, if
    // given, is the transcript's description of the report, `restart` what the mixer does next.
    DWORD Take(const BYTE* report, std::size_t length, DWORD now, std::string* what,
               Restart* restart);
    // A report that the host gets: the status word, big-endian after the report id. Returns 0 or
    // the Win32 error the transfer fails with; `word` is the status answered.
    DWORD Answer(BYTE* report, std::size_t length, DWORD now, DWORD* word);

    // The transcript's description of a report the host sets: a command's four characters, a data
    // block's offset in the image of the open pass ("-" outside a pass).
    std::string Describe(const BYTE* report, std::size_t length) const;

    // Whether the report is a data block, and how many the mixer has taken since it was made.
    static bool IsBlock(const BYTE* report, std::size_t length);
    unsigned GetBlocksTaken() const { return m_blocksTaken; }

    const FlashImage& GetCodeImage() const { return m_code; }
    const FlashImage& GetLogicImage() const { return m_logic; }
    const TestSignal& GetSignal() const { return m_signal; }

private:
    enum class Pass { None, CodeWrite, CodeVerify, LogicWrite, LogicVerify };

    DWORD TakeCommand(const std::string& code, DWORD now, Restart* restart);
    DWORD TakeBlock(const BYTE* block);
    // The image of the open pass, if any.
    FlashImage* PassImage();
    const FlashImage* PassImage() const;
    void ApplicationModeCommand(const std::string& code, DWORD now);
    void UpdateModeCommand(const std::string& code, DWORD now, Restart* restart);
    void Finish(DWORD status, DWORD now, DWORD busyMs);
    CommandFault* FaultFor(const std::string& code, CommandFault::Kind kind);
    bool InUpdateMode() const { return m_productId != PRODUCT_ID_RUN; }

    SimTiming m_timing;
    std::vector<CommandFault> m_faults;
    std::vector<unsigned> m_faultUses;  // how often each fault has struck
    unsigned m_failingBlock;
    bool m_ignoreEfwu;

    WORD m_productId = PRODUCT_ID_RUN;
    Pass m_pass = Pass::None;
    FlashImage m_code;
    FlashImage m_logic;
    unsigned m_blocksTaken = 0;
    TestSignal m_signal;
    DanteCounter m_dante;

    // The answer to the last command or block.
    DWORD m_status = STATUS_PASS_OPEN;
    DWORD m_busyUntil = 0;
    bool m_busy = false;
    unsigned m_extraBusyReads = 0;
    bool m_busyForever = false;
    unsigned m_failingReads = 0;
    bool m_readsAlwaysFail = false;
};

}  // namespace sim
