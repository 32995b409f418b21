// An open HID interface of a simulated mixer: its transfers reach the mixer while it is the
// arrival that was opened, and fail as from a device that has gone after it left.
#pragma once

#include <cstddef>

#include "platform/portable/devicebackend.h"
#include "sim/mixertransfers.h"

namespace sim {

class MixerChannel final : public portable::HidChannel {
public:
    MixerChannel(MixerTransfers* transfers, std::size_t unit, unsigned generation);

    DWORD Describe(portable::HidDescription* description) override;
    DWORD GetFeature(BYTE* report, std::size_t length) override;
    DWORD SetFeature(const BYTE* report, std::size_t length) override;

private:
    MixerTransfers* m_transfers;
    std::size_t m_unit;
    unsigned m_generation;
};

}  // namespace sim
