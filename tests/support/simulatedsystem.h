// A test's system with the simulated mixer attached, on the virtual clock, so that restarts,
// installations and busy phases take no real time.
#pragma once

#include "platform/portable/clock.h"
#include "platform/portable/devicebackend.h"
#include "sim/simulatedvantor.h"

class SimulatedSystem {
public:
    explicit SimulatedSystem(const sim::SimConfig& config = {}, bool virtualClock = true)
        : m_mixer(config) {
        if (virtualClock) {
            portable::UseVirtualClock();
        }
        portable::SetDeviceBackend(&m_mixer);
    }
    ~SimulatedSystem() {
        portable::SetDeviceBackend(nullptr);
        portable::UseRealClock();
    }
    SimulatedSystem(const SimulatedSystem&) = delete;
    SimulatedSystem& operator=(const SimulatedSystem&) = delete;

    sim::SimulatedVantor& Mixer() { return m_mixer; }
    const sim::SimulatedVantor& Mixer() const { return m_mixer; }

private:
    sim::SimulatedVantor m_mixer;
};

inline sim::SimConfig MixerStartingIn(sim::MixerStart start) {
    sim::SimConfig config;
    config.start = start;
    return config;
}
