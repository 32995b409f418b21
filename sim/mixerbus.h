// The mixers of a simulated system as they come and go on the bus, on the process clock: an
// arrival adds the mixer's nodes to the device tree, a departure removes them, and a restart is a
// departure followed by an arrival that falls due later. Nothing moves by itself: every caller
// first brings the bus up to the clock (Advance), so the simulation is as deterministic as the
// calls made to it. The caller holds the system's lock.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "sim/busmixer.h"
#include "sim/devicetree.h"
#include "sim/simconfig.h"
#include "sim/transcript.h"

namespace sim {

class MixerBus {
public:
    // The mixers of `config` (a second one if it asks), those it starts with already installed.
    MixerBus(const SimConfig& config, DeviceTree* tree, DWORD rootHub, Transcript* transcript,
             DWORD now);

    std::size_t Count() const { return m_mixers.size(); }
    BusMixer& At(std::size_t unit) { return *m_mixers[unit]; }
    const BusMixer& At(std::size_t unit) const { return *m_mixers[unit]; }
    // The mixer if it is still the arrival `generation`, else null.
    BusMixer* Live(std::size_t unit, unsigned generation);

    // Arrivals that are due by `now` happen.
    void Advance(DWORD now);
    void Arrive(BusMixer& mixer, WORD productId, DWORD now);
    void Leave(BusMixer& mixer, DWORD now);
    // The mixer leaves and comes back after its restart time as `restart` says.
    void Restart(BusMixer& mixer, MixerProtocol::Restart restart, DWORD now);
    // The person pulls the mixer out, and it stays out, whatever the last transfer started: a
    // mixer on its way back from a restart does not come back.
    void PullOut(BusMixer& mixer, DWORD now);

private:
    void AddAudioFunction(BusMixer& mixer);

    const SimConfig& m_config;
    DeviceTree* m_tree;
    DWORD m_rootHub;
    Transcript* m_transcript;
    std::vector<std::unique_ptr<BusMixer>> m_mixers;
};

}  // namespace sim
