#include "sim/dantecounter.h"

#include <algorithm>

namespace sim {

DanteCounter::DanteCounter(const DanteConfig& config) : m_config(config) {}

bool DanteCounter::Read(DWORD* reading) {
    m_armed = false;
    ++m_reads;
    if (m_reads == m_config.failingRead) {
        return false;
    }
    const std::vector<DWORD>& readings = m_config.readings;
    // Without readings there is no link to count.
    *reading =
        readings.empty() ? kDanteNotConnected : readings[std::min(m_answered, readings.size() - 1)];
    ++m_answered;
    return true;
}

}  // namespace sim
