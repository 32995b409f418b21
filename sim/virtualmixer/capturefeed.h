// What the mixer's sound card records, fed into a FIFO that ALSA's file plugin reads as the card's
// capture PCM. A run begins when a reader opens the FIFO, as a capture begins when a program opens
// the card: the mixer's capture stream starts then, so its frames count from the reader's first
// byte, and its bytes go into the FIFO as they arrive on the clock. The run ends when the reader
// closes. Nothing is ever waited for: a full FIFO is written to again on the next pump, and a
// reader that falls more than a second behind loses the oldest periods, as a card's buffer
// overruns.
//
// The bytes go in whole periods of 10 ms (480 frames), as a USB audio card delivers them: the file
// plugin reads the FIFO once per period that its reader asks for, and whatever a read leaves
// short becomes silence, so a reader that asks for whole periods must always find whole periods.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/portable/devicebackend.h"

namespace sim {

class CaptureFeed {
public:
    // `mixer` is the backend whose first capture device is the mixer's.
    CaptureFeed(portable::DeviceBackend* mixer, std::string fifoPath);
    ~CaptureFeed();
    CaptureFeed(const CaptureFeed&) = delete;
    CaptureFeed& operator=(const CaptureFeed&) = delete;

    // Starts a run when a reader has come, and writes what has arrived since the last pump.
    void Pump();
    // The bytes taken from the stream that the FIFO has not taken yet.
    std::size_t GetBacklog() const { return m_pending.size(); }

private:
    void EndRun();

    portable::DeviceBackend* m_mixer;
    std::string m_fifoPath;
    int m_fd = -1;
    std::shared_ptr<portable::WaveCapture> m_capture;
    DWORD m_startedAt = 0;
    std::uint64_t m_written = 0;
    std::vector<BYTE> m_pending;  // read from the stream, not yet taken by the FIFO
};

}  // namespace sim
