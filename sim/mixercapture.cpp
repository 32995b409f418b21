#include "sim/mixercapture.h"

#include "sim/processclock.h"
#include "sim/testsignal.h"

namespace sim {

MixerCapture::MixerCapture(std::mutex* mutex, MixerBus* bus, Transcript* transcript,
                           std::size_t unit, const AudioConfig& audio)
    : m_mutex(mutex),
      m_bus(bus),
      m_transcript(transcript),
      m_unit(unit),
      m_generation(bus->At(unit).generation) {
    if (unit == 0) {
        m_prepareResult = audio.prepareResult;
        m_addResult = audio.addResult;
        m_startResult = audio.startResult;
        m_neverCompletes = audio.bufferNeverCompletes;
    }
}

UINT MixerCapture::Start(DWORD) {
    if (m_startResult == MMSYSERR_NOERROR) {
        Log("audio: start");
    }
    return m_startResult;
}

void MixerCapture::Stop(DWORD) {
    Log("audio: stop");
}

std::uint64_t MixerCapture::Arrived(DWORD startedAt, DWORD now) {
    if (m_neverCompletes) {
        return 0;
    }
    DWORD end = now;
    {
        std::lock_guard lock(*m_mutex);
        const BusMixer& mixer = m_bus->At(m_unit);
        if (!m_endedAt && (!mixer.present || mixer.generation != m_generation)) {
            m_endedAt = mixer.leftAt;
        }
        if (m_endedAt && Reached(end, *m_endedAt)) {
            end = *m_endedAt;
        }
    }
    return BytesArrived(startedAt, end, TEST_SIGNAL_RATE, TEST_SIGNAL_FRAME_BYTES);
}

void MixerCapture::Read(DWORD startedAt, std::uint64_t offset, BYTE* data, std::size_t length) {
    std::lock_guard lock(*m_mutex);
    m_bus->At(m_unit).protocol.GetSignal().Read(startedAt, offset, data, length);
}

void MixerCapture::Log(const char* line) {
    std::lock_guard lock(*m_mutex);
    m_transcript->Log(m_unit, line);
}

}  // namespace sim
