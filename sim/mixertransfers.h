// The transfers to a simulated mixer's HID interface, and the faults the configuration gives them:
// a mixer pulled out as a data block goes on the wire or after a number of transfers, a transfer
// that overlaps another. Each transfer costs its wire time on the process clock before the
// system's lock is taken, so a host that does not serialise its transfers is seen doing so. In a
// replay the first mixer's transfers are answered from the recording instead (replay.h).
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "platform/portable/devicebackend.h"
#include "sim/mixerbus.h"
#include "sim/replay.h"
#include "sim/simconfig.h"
#include "sim/transcript.h"

namespace sim {

class MixerTransfers {
public:
    // `mutex` is the system's lock, which guards the bus and the transcript.
    MixerTransfers(std::mutex* mutex, const SimConfig* config, MixerBus* bus,
                   Transcript* transcript);

    // Both fail with ERROR_DEVICE_NOT_CONNECTED once the arrival `generation` has left.
    DWORD Describe(std::size_t unit, unsigned generation, portable::HidDescription* description);
    // `set` only reads the report; a get fills it.
    DWORD Transfer(std::size_t unit, unsigned generation, bool set, BYTE* report,
                   std::size_t length);

    // Transfers that began while another one to the same mixer was still on the wire.
    unsigned Overlaps() const { return m_overlaps.load(); }

    // The replay, or null when the mixer is not replaying a recording. The caller holds the lock.
    const Replay* GetReplay() const { return m_replay.get(); }

private:
    // A transfer to the first mixer in a replay; `mixer` is null when it has left the bus.
    DWORD ReplayTransfer(BusMixer* mixer, bool set, BYTE* report, std::size_t length, DWORD now);

    std::mutex* m_mutex;
    const SimConfig* m_config;
    MixerBus* m_bus;
    Transcript* m_transcript;
    std::unique_ptr<Replay> m_replay;
    std::atomic<unsigned> m_overlaps{0};
};

}  // namespace sim
