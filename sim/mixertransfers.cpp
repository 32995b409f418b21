#include "sim/mixertransfers.h"

#include <cstdio>
#include <string>

namespace sim {

MixerTransfers::MixerTransfers(std::mutex* mutex, const SimConfig* config, MixerBus* bus,
                               Transcript* transcript)
    : m_mutex(mutex), m_config(config), m_bus(bus), m_transcript(transcript) {}

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

}  // namespace sim
