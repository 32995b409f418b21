#include "sim/mixerprotocol.h"

#include <cstdio>
#include <cstring>

#include "sim/processclock.h"

namespace sim {

namespace {

constexpr BYTE kReportCommand = 0xF0;
constexpr BYTE kReportData = 0xF1;
constexpr std::size_t kBlockSize = 60;

std::string Printable(const BYTE* code) {
    // Built in a fixed buffer: at most four characters, each shown as \xNN when not printable.
    char text[4 * 4 + 1];
    std::size_t used = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const BYTE c = code[i];
        if (c >= 0x20 && c < 0x7F) {
            text[used++] = static_cast<char>(c);
        } else {
            used += static_cast<std::size_t>(
                std::snprintf(text + used, sizeof text - used, "\\x%02X", c));
        }
    }
    return std::string(text, used);
}

}  // namespace

MixerProtocol::MixerProtocol(const SimConfig& config)
    : m_timing(config.timing),
      m_faults(config.faults.commands),
      m_faultUses(config.faults.commands.size(), 0),
      m_failingBlock(config.faults.failingBlock),
      m_ignoreEfwu(config.faults.ignoreEfwu),
      m_code(config.flashImageBytes),
      m_logic(config.flashImageBytes),
      m_signal(config.audio),
      m_dante(config.dante) {}

void MixerProtocol::Start(WORD productId) {
    m_productId = productId;
    m_pass = Pass::None;
    m_status = STATUS_PASS_OPEN;
    m_busy = false;
    m_extraBusyReads = 0;
    m_busyForever = false;
    m_failingReads = 0;
    m_readsAlwaysFail = false;
    m_signal.Reset();
    m_dante.Disarm();
}

CommandFault* MixerProtocol::FaultFor(const std::string& code, CommandFault::Kind kind) {
    for (std::size_t i = 0; i < m_faults.size(); ++i) {
        if (m_faults[i].command == code && m_faults[i].kind == kind) {
            return &m_faults[i];
        }
    }
    return nullptr;
}

std::string MixerProtocol::Describe(const BYTE* report, std::size_t length) const {
    if (report[0] == kReportCommand && length >= 5) {
        return Printable(report + 1);
    }
    if (report[0] == kReportData) {
        const FlashImage* image = PassImage();
        return image != nullptr ? std::to_string(image->GetPassOffset()) : std::string(1, '-');
    }
    return std::string(1, '?');
}

bool MixerProtocol::IsBlock(const BYTE* report, std::size_t length) {
    return report[0] == kReportData && length >= 1 + kBlockSize;
}

FlashImage* MixerProtocol::PassImage() {
    switch (m_pass) {
        case Pass::CodeWrite:
        case Pass::CodeVerify:
            return &m_code;
        case Pass::LogicWrite:
        case Pass::LogicVerify:
            return &m_logic;
        case Pass::None:
            break;
    }
    return nullptr;
}

const FlashImage* MixerProtocol::PassImage() const {
    return const_cast<MixerProtocol*>(this)->PassImage();
}

DWORD MixerProtocol::Take(const BYTE* report, std::size_t length, DWORD now, std::string* what,
                          Restart* restart) {
    *restart = Restart::None;
    if (what != nullptr) {
        *what = Describe(report, length);
    }
    if (report[0] == kReportCommand && length >= 5) {
        return TakeCommand(std::string(reinterpret_cast<const char*>(report + 1), 4), now, restart);
    }
    if (IsBlock(report, length)) {
        return TakeBlock(report + 1);
    }
    // No such output in the report descriptor: the device stalls the request.
    return ERROR_GEN_FAILURE;
}

DWORD MixerProtocol::TakeCommand(const std::string& code, DWORD now, Restart* restart) {
    if (CommandFault* fault = FaultFor(code, CommandFault::Kind::SendFails)) {
        unsigned& uses = m_faultUses[static_cast<std::size_t>(fault - m_faults.data())];
        if (fault->count == 0 || uses < fault->count) {
            ++uses;
            return kTransferError;
        }
    }
    m_failingReads = 0;
    m_readsAlwaysFail = false;
    m_dante.Disarm();
    if (CommandFault* fault = FaultFor(code, CommandFault::Kind::StatusReadsFail)) {
        m_failingReads = fault->count;
        m_readsAlwaysFail = fault->count == 0;
    }

    if (!InUpdateMode()) {
        if (code == "EFWU") {
            if (!m_ignoreEfwu) {
                *restart = Restart::IntoUpdate;
            }
            return ERROR_SUCCESS;
        }
        ApplicationModeCommand(code, now);
    } else {
        UpdateModeCommand(code, now, restart);
    }

    if (CommandFault* fault = FaultFor(code, CommandFault::Kind::WrongStatus)) {
        m_status = fault->status;
    }
    if (CommandFault* fault = FaultFor(code, CommandFault::Kind::Busy)) {
        m_extraBusyReads = fault->count;
        m_busyForever = fault->count == 0;
    }
    return ERROR_SUCCESS;
}

// Only "EFWU" restarts the mixer from application mode; it is taken before these.
void MixerProtocol::ApplicationModeCommand(const std::string& code, DWORD now) {
    if (code == "UATE") {
        m_signal.SwitchOn(now);
        Finish(STATUS_DONE, now, 0);
    } else if (code == "UATD") {
        m_signal.SwitchOff(now);
        Finish(STATUS_DONE, now, 0);
    } else if (code == "GECF") {
        Finish(STATUS_DONE, now, 0);
        m_dante.Arm();
    } else {
        Finish(STATUS_REJECTED, now, 0);
    }
}

void MixerProtocol::UpdateModeCommand(const std::string& code, DWORD now, Restart* restart) {
    const bool alt = m_productId == PRODUCT_ID_UPDATE_ALT;
    // A pass ends with its own closing command; any other command abandons it.
    const Pass pass = m_pass;
    m_pass = Pass::None;

    if (code == "ERFW") {
        m_code.Erase();
        Finish(STATUS_DONE, now, m_timing.codeEraseMs);
    } else if (code == "BLFW") {
        Finish(STATUS_DONE, now, 0);
    } else if (code == "WRFW" || code == "WRFP") {
        FlashImage& image = code == "WRFW" ? m_code : m_logic;
        image.BeginWrite();
        m_pass = code == "WRFW" ? Pass::CodeWrite : Pass::LogicWrite;
        Finish(STATUS_PASS_OPEN, now, 0);
    } else if (code == "WRFI" || code == "WFPI") {
        const Pass expected = code == "WRFI" ? Pass::CodeWrite : Pass::LogicWrite;
        FlashImage& image = code == "WRFI" ? m_code : m_logic;
        const bool ok = pass == expected && image.EndWrite();
        Finish(ok ? STATUS_DONE : STATUS_REJECTED, now, m_timing.passEndMs);
    } else if (code == "VFFW" || code == "VFFP") {
        FlashImage& image = code == "VFFW" ? m_code : m_logic;
        const bool ok = image.BeginVerify();
        m_pass = !ok ? Pass::None : code == "VFFW" ? Pass::CodeVerify : Pass::LogicVerify;
        Finish(ok ? STATUS_PASS_OPEN : STATUS_REJECTED, now, 0);
    } else if (code == "VFFI" || code == "VFPI") {
        const Pass expected = code == "VFFI" ? Pass::CodeVerify : Pass::LogicVerify;
        FlashImage& image = code == "VFFI" ? m_code : m_logic;
        const DWORD status = pass != expected    ? STATUS_REJECTED
                             : image.EndVerify() ? STATUS_DONE
                                                 : STATUS_MISMATCH;
        Finish(status, now, m_timing.passEndMs);
    } else if (code == "ERFP" && alt) {
        m_logic.Erase();
        Finish(STATUS_DONE, now, m_timing.logicEraseMs);
    } else if (code == "BKFP" && !alt) {
        // The backup copy is made from a logic image that a verify pass confirmed.
        const bool ok = m_logic.GetState() == FlashImage::State::Verified;
        Finish(ok ? STATUS_DONE : STATUS_REJECTED, now, ok ? m_timing.logicBackupMs : 0);
    } else if (code == "BOOT") {
        // The boot loader starts the application only when no image is left half done.
        auto sound = [](const FlashImage& image) {
            return image.GetState() == FlashImage::State::Intact ||
                   image.GetState() == FlashImage::State::Verified;
        };
        *restart =
            sound(m_code) && sound(m_logic) ? Restart::IntoApplication : Restart::StayInUpdate;
    } else if (code == "EFWU") {
        // Already in update mode: nothing to do, and nothing answered.
    } else {
        Finish(STATUS_REJECTED, now, 0);
    }
}

DWORD MixerProtocol::TakeBlock(const BYTE* block) {
    ++m_blocksTaken;
    FlashImage* image = PassImage();
    if (m_blocksTaken == m_failingBlock) {
        return kTransferError;
    }
    m_failingReads = 0;
    m_readsAlwaysFail = false;
    m_dante.Disarm();
    m_extraBusyReads = 0;
    m_busyForever = false;
    m_busy = false;
    if (image == nullptr) {
        m_status = STATUS_REJECTED;
    } else if (m_pass == Pass::CodeWrite || m_pass == Pass::LogicWrite) {
        m_status = image->Write(block, kBlockSize) ? STATUS_DONE : STATUS_REJECTED;
    } else {
        m_status = image->Verify(block, kBlockSize) ? STATUS_DONE : STATUS_MISMATCH;
    }
    return ERROR_SUCCESS;
}

void MixerProtocol::Finish(DWORD status, DWORD now, DWORD busyMs) {
    m_status = status;
    m_busy = busyMs != 0;
    m_busyUntil = now + busyMs;
    m_extraBusyReads = 0;
    m_busyForever = false;
}

DWORD MixerProtocol::Answer(BYTE* report, std::size_t length, DWORD now, DWORD* word) {
    if (report[0] != kReportCommand || length < 5) {
        return ERROR_GEN_FAILURE;
    }
    if (m_readsAlwaysFail) {
        return kTransferError;
    }
    if (m_failingReads > 0) {
        --m_failingReads;
        return kTransferError;
    }
    if (m_busy && Reached(now, m_busyUntil)) {
        m_busy = false;
    }
    DWORD status = m_status;
    if (m_busy || m_busyForever) {
        status = STATUS_BUSY;
    } else if (m_extraBusyReads > 0) {
        --m_extraBusyReads;
        status = STATUS_BUSY;
    } else if (m_dante.IsArmed()) {
        DWORD reading = 0;
        if (!m_dante.Read(&reading)) {
            return kTransferError;
        }
        m_status = status = reading;
    }
    std::memset(report + 1, 0, length - 1);
    report[1] = static_cast<BYTE>(status >> 24);
    report[2] = static_cast<BYTE>(status >> 16);
    report[3] = static_cast<BYTE>(status >> 8);
    report[4] = static_cast<BYTE>(status);
    *word = status;
    return ERROR_SUCCESS;
}

}  // namespace sim
