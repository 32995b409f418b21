// A capture from a simulated mixer's audio function: its test signal, which stalls where the
// mixer left the bus. The first mixer's capture shows the audio faults of the configuration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/portable/devicebackend.h"
#include "sim/mixerbus.h"
#include "sim/simconfig.h"
#include "sim/transcript.h"

namespace sim {

class MixerCapture final : public portable::WaveCapture {
public:
    // Made under the system's lock `mutex`, which guards the bus and the transcript.
    MixerCapture(std::mutex* mutex, MixerBus* bus, Transcript* transcript, std::size_t unit,
                 const AudioConfig& audio);

    UINT Prepare() override { return m_prepareResult; }
    UINT Queue() override { return m_addResult; }
    UINT Start(DWORD startedAt) override;
    void Stop(DWORD stoppedAt) override;
    std::uint64_t Arrived(DWORD startedAt, DWORD now) override;
    void Read(DWORD startedAt, std::uint64_t offset, BYTE* data, std::size_t length) override;

private:
    void Log(const char* line);

    std::mutex* m_mutex;
    MixerBus* m_bus;
    Transcript* m_transcript;
    std::size_t m_unit;
    unsigned m_generation;
    UINT m_prepareResult = MMSYSERR_NOERROR;
    UINT m_addResult = MMSYSERR_NOERROR;
    UINT m_startResult = MMSYSERR_NOERROR;
    bool m_neverCompletes = false;
    std::optional<DWORD> m_endedAt;  // under the system's lock
};

}  // namespace sim
