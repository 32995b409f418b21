#include "sim/mixertransfers.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace sim {

MixerTransfers::MixerTransfers(std::mutex* mutex, const SimConfig* config, MixerBus* bus,
                               Transcript* transcript)
    : m_mutex(mutex),
      m_config(config),
      m_bus(bus),
      m_transcript(transcript),
      m_replay(config->replay ? std::make_unique<Replay>(config->replay) : nullptr) {}

DWORD MixerTransfers::Describe(std::size_t unit, unsigned generation,
                               portable::HidDescription* description) {
    std::lock_guard lock(*m_mutex);
    m_bus->Advance(timeGetTime());
    const BusMixer* mixer = m_bus->Live(unit, generation);
    if (mixer == nullptr) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    const WORD productId = mixer->protocol.GetProductId();
    description->vendorId = VENDOR_ID;
    description->productId = productId;
    description->versionNumber = productId == PRODUCT_ID_RUN ? 0x0214 : 0x0102;
    description->manufacturer = u"Corvena";
    description->product = productId == PRODUCT_ID_RUN ? u"Vantor" : u"Vantor Updater";
    description->serialNumber = mixer->serialNumber;
    // A replayed mixer shows the version and serial it was recorded with.
    const runlog::MixerIdentity* recorded =
        m_replay && unit == 0 ? m_replay->Found(productId) : nullptr;
    if (recorded != nullptr) {
        description->versionNumber = recorded->versionNumber;
        description->serialNumber = std::nullopt;
        if (!recorded->serial.empty()) {
            std::u16string serial;
            for (const char c : recorded->serial) {
                serial += static_cast<char16_t>(static_cast<unsigned char>(c));
            }
            description->serialNumber = serial;
        }
    }
    description->hasPreparsedData = !(m_config->faults.noPreparsedData && unit == 0);
    description->caps.usagePage = 0xFF00;  // vendor-defined
    description->caps.usage = 0x0001;
    description->caps.featureReportByteLength = m_config->featureReportByteLength;
    return ERROR_SUCCESS;
}

DWORD MixerTransfers::Transfer(std::size_t unit, unsigned generation, bool set, BYTE* report,
                               std::size_t length) {
    // A mixer's control pipe carries one transfer at a time; a second one starting while the first
    // is on the wire means the host failed to serialise them.
    std::atomic<unsigned>& inFlight = m_bus->At(unit).inFlight;
    if (inFlight.fetch_add(1) != 0) {
        m_overlaps.fetch_add(1);
    }
    if (m_config->timing.transferMs != 0) {
        Sleep(m_config->timing.transferMs);
    }
    std::lock_guard lock(*m_mutex);
    const DWORD now = timeGetTime();
    m_bus->Advance(now);
    BusMixer* mixer = m_bus->Live(unit, generation);
    if (unit == 0 && m_replay) {
        const DWORD result = ReplayTransfer(mixer, set, report, length, now);
        inFlight.fetch_sub(1);
        return result;
    }
    DWORD error = ERROR_DEVICE_NOT_CONNECTED;
    std::string what;
    const bool logging = m_transcript->Logging();
    if (mixer != nullptr) {
        MixerProtocol::Restart restart = MixerProtocol::Restart::None;
        DWORD word = 0;
        if (unit == 0 && set && MixerProtocol::IsBlock(report, length) &&
            mixer->protocol.GetBlocksTaken() + 1 == m_config->faults.unplugAtBlock) {
            // Pulled out as the block goes on the wire: it never arrives, whatever the host's
            // speed made of the status reads before it.
            const std::string block = mixer->protocol.Describe(report, length);
            m_bus->PullOut(*mixer, now);
            m_transcript->LogTransfer(unit, set, report[0], block, ERROR_DEVICE_NOT_CONNECTED);
            inFlight.fetch_sub(1);
            return ERROR_DEVICE_NOT_CONNECTED;
        }
        if (set) {
            error = mixer->protocol.Take(report, length, now, logging ? &what : nullptr, &restart);
        } else {
            error = mixer->protocol.Answer(report, length, now, &word);
            if (error == ERROR_SUCCESS && logging) {
                char text[12];
                std::snprintf(text, sizeof text, "%08X", word);
                what = text;
            }
        }
        m_transcript->LogTransfer(unit, set, report[0], what, error);
        if (restart != MixerProtocol::Restart::None) {
            m_bus->Restart(*mixer, restart, now);
        }
        ++mixer->transfers;
        if (unit == 0 && mixer->transfers == m_config->faults.unplugAfterTransfers) {
            m_bus->PullOut(*mixer, now);
        }
    } else {
        // Gone from the bus: the transcript still says what was lost.
        if (set && logging) {
            what = m_bus->At(unit).protocol.Describe(report, length);
        }
        m_transcript->LogTransfer(unit, set, report[0], what, error);
    }
    inFlight.fetch_sub(1);
    return error;
}

DWORD MixerTransfers::ReplayTransfer(BusMixer* mixer, bool set, BYTE* report, std::size_t length,
                                     DWORD now) {
    const bool differedBefore = !m_replay->Difference().empty();
    const runlog::TransferRecord* recorded = m_replay->Next(set, report, length);
    std::string what = set ? m_bus->At(0).protocol.Describe(report, length) : std::string();
    if (recorded == nullptr) {
        if (!differedBefore) {
            m_transcript->Log(0, m_replay->Difference());
        }
        m_transcript->LogTransfer(0, set, report[0], what, ERROR_GEN_FAILURE);
        return ERROR_GEN_FAILURE;
    }
    MixerProtocol::Restart restart = MixerProtocol::Restart::None;
    if (!set && recorded->result == ERROR_SUCCESS) {
        std::copy(recorded->bytes.begin(), recorded->bytes.end(), report);
        if (length >= 5) {
            what = runlog::Hex(
                static_cast<DWORD>(report[1]) << 24 | report[2] << 16 | report[3] << 8 | report[4],
                8);
        }
    }
    if (mixer != nullptr) {
        // A set the mixer took goes on to the simulated protocol, which writes the flash and
        // restarts the mixer on "EFWU" and "BOOT" as the recorded one did, if it did; a failed
        // one never reached it.
        if (set && recorded->result == ERROR_SUCCESS) {
            mixer->protocol.Take(report, length, now, nullptr, &restart);
            if (!m_replay->FoundAgain()) {
                restart = MixerProtocol::Restart::None;  // the recorded mixer never came back
            }
        } else if (recorded->result == ERROR_DEVICE_NOT_CONNECTED) {
            m_bus->PullOut(*mixer, now);
        }
        ++mixer->transfers;
    }
    m_transcript->LogTransfer(0, set, report[0], what, recorded->result);
    if (restart != MixerProtocol::Restart::None) {
        m_bus->Restart(*mixer, restart, now);
    }
    return recorded->result;
}

}  // namespace sim
