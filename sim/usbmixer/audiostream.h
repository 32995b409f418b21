// The audio function's isochronous IN stream: what the mixer records, cut into one packet a
// millisecond of the process clock. The mixer's capture starts with the stream and stops with it,
// as a capture begins when the host selects the streaming interface's setting with bandwidth. A
// host that falls behind loses the oldest packets, as a device's frames go by whether read or not.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/portable/devicebackend.h"

namespace sim {

class AudioStream {
public:
    explicit AudioStream(portable::DeviceBackend* mixer);
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    // False when the mixer has no audio function now, or its capture refuses to start.
    bool Start();
    void Stop();
    bool Running() const { return m_capture != nullptr; }

    // The packets whose millisecond has passed since the last call, the oldest first; no more
    // than `most` of them, the newest.
    std::vector<std::vector<BYTE>> DuePackets(std::size_t most);

private:
    portable::DeviceBackend* m_mixer;
    std::shared_ptr<portable::WaveCapture> m_capture;
    DWORD m_startedAt = 0;
    std::uint64_t m_sent = 0;  // packets, from the start
};

}  // namespace sim
