// The counter of the mixer's Dante serial link as "GECF" reads it: each "GECF" makes the next
// status read the counter's, which answers the next of the configured readings (the last one
// stays).
#pragma once

#include <cstddef>

#include "sim/simconfig.h"

namespace sim {

// What a reading says when the Dante serial port is not connected.
inline constexpr DWORD kDanteNotConnected = 0xFFFFFFFF;

class DanteCounter {
public:
    explicit DanteCounter(const DanteConfig& config);

    // "GECF": the next status read is the counter's.
    void Arm() { m_armed = true; }
    // Any other command or block, or a restart: status reads are the command's again.
    void Disarm() { m_armed = false; }
    bool IsArmed() const { return m_armed; }

    // The counter's read: false when it is the read chosen to fail (its reading is answered by the
    // next one); otherwise the reading.
    bool Read(DWORD* reading);

private:
    DanteConfig m_config;
    bool m_armed = false;
    std::size_t m_answered = 0;
    DWORD m_reads = 0;
};

}  // namespace sim
