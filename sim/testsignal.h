// The mixer's USB audio test signal (device/testsignal.h) as the simulated mixer plays it: switched
// on by "UATE" (after a delay) and off by "UATD", 48 kHz 16-bit stereo. The signal runs on the
// process clock, so a capture that starts later sees the sequence further on; its faults are
// counted in frames of the capture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/testsignal.h"
#include "sim/simconfig.h"

namespace sim {

class TestSignal {
public:
    explicit TestSignal(const AudioConfig& config);

    // "UATE" at `now`: the signal starts after the delay, unless it runs already.
    void SwitchOn(DWORD now);
    // "UATD", or the mixer leaving the bus: silence from `now` on.
    void SwitchOff(DWORD now);
    // The mixer restarted: as it was before any "UATE".
    void Reset();

    // Bytes [offset, offset + length) of a capture that started at `startedAt`.
    void Read(DWORD startedAt, std::uint64_t offset, BYTE* data, std::size_t length) const;

private:
    // Left and right sample of frame `frame` of that capture.
    void Frame(DWORD startedAt, std::uint64_t frame, WORD* left, WORD* right) const;

    AudioConfig m_config;
    std::vector<WORD> m_sequence;  // one whole period of the register from the seed
    bool m_switchedOn = false;
    DWORD m_onAt = 0;
    bool m_switchedOff = false;
    DWORD m_offAt = 0;
};

}  // namespace sim
