#include "sim/mixerchannel.h"

namespace sim {

MixerChannel::MixerChannel(MixerTransfers* transfers, std::size_t unit, unsigned generation)
    : m_transfers(transfers), m_unit(unit), m_generation(generation) {}

DWORD MixerChannel::Describe(portable::HidDescription* description) {
    return m_transfers->Describe(m_unit, m_generation, description);
}

DWORD MixerChannel::GetFeature(BYTE* report, std::size_t length) {
    return m_transfers->Transfer(m_unit, m_generation, false, report, length);
}

DWORD MixerChannel::SetFeature(const BYTE* report, std::size_t length) {
    // A set only reads the report; Transfer takes one buffer for both directions.
    return m_transfers->Transfer(m_unit, m_generation, true, const_cast<BYTE*>(report), length);
}

}  // namespace sim
