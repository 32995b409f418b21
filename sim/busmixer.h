// One mixer of a simulated system, with the nodes and paths it has while it is on the bus.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "sim/mixerprotocol.h"
#include "sim/simconfig.h"

namespace sim {

struct BusMixer {
    BusMixer(std::size_t number, const SimConfig& config) : unit(number), protocol(config) {}

    const std::size_t unit;  // 0 for the first mixer, the one the faults and the tests are about
    MixerProtocol protocol;
    std::u16string serialNumber;
    bool present = false;
    // Every arrival is a new device: channels and captures opened before it no longer reach it.
    unsigned generation = 0;
    // On its way back from a restart.
    bool arriving = false;
    DWORD arrivalAt = 0;
    WORD arrivalProductId = 0;
    DWORD installedAt = 0;
    DWORD usbNode = 0;
    DWORD hidNode = 0;
    std::string path;
    // The audio function, in application mode only: its node and its audio interface.
    DWORD audioNode = 0;
    std::string audioPath;
    DWORD leftAt = 0;  // when it last left the bus: a capture from it stalls there
    unsigned transfers = 0;
    // Read before the lock is taken: a transfer that overlaps another shows up here.
    std::atomic<unsigned> inFlight{0};
};

}  // namespace sim
