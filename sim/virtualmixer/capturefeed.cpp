#include "sim/virtualmixer/capturefeed.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32api.h"
#include "sim/servedmixer.h"

namespace sim {

namespace {

constexpr std::size_t kPeriodBytes = 480 * 4;  // 10 ms at 48 kHz, two 16-bit samples a frame
// What waits for a reader that has fallen behind: one second of audio.
constexpr std::size_t kBacklogBytes = 100 * kPeriodBytes;

}  // namespace

CaptureFeed::CaptureFeed(portable::DeviceBackend* mixer, std::string fifoPath)
    : m_mixer(mixer), m_fifoPath(std::move(fifoPath)) {}

CaptureFeed::~CaptureFeed() {
    EndRun();
}

void CaptureFeed::EndRun() {
    if (m_capture) {
        m_capture->Stop(timeGetTime());
        m_capture.reset();
    }
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    m_pending.clear();
}

void CaptureFeed::Pump() {
    if (m_fd < 0) {
        // Opening for writing without waiting succeeds only while a reader has the FIFO open.
        m_fd = open(m_fifoPath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) {
            return;
        }
        const std::optional<UINT> device = MixerCaptureDevice(m_mixer);
        if (!device ||
            m_mixer->OpenWaveCapture(*device, kMixerCaptureFormat, &m_capture) !=
                MMSYSERR_NOERROR ||
            m_capture->Prepare() != MMSYSERR_NOERROR || m_capture->Queue() != MMSYSERR_NOERROR ||
            m_capture->Start(m_startedAt = timeGetTime()) != MMSYSERR_NOERROR) {
            // No audio function, or it refuses: the card delivers nothing.
            m_capture.reset();
            return;
        }
        m_written = 0;
    }
    if (!m_capture) {
        return;
    }
    const std::uint64_t arrived = m_capture->Arrived(m_startedAt, timeGetTime());
    // A reader that does not keep up loses the oldest periods, as a card's buffer overruns; what
    // would be lost at once is never read from the stream.
    const std::uint64_t waiting = arrived - (m_written - m_pending.size());
    if (waiting > kBacklogBytes) {
        const std::uint64_t lost =
            (waiting - kBacklogBytes + kPeriodBytes - 1) / kPeriodBytes * kPeriodBytes;
        const std::size_t fromPending =
            static_cast<std::size_t>(std::min<std::uint64_t>(lost, m_pending.size()));
        m_pending.erase(m_pending.begin(),
                        m_pending.begin() + static_cast<std::ptrdiff_t>(fromPending));
        m_written += lost - fromPending;
    }
    if (arrived > m_written) {
        const std::size_t fresh = static_cast<std::size_t>(arrived - m_written);
        const std::size_t start = m_pending.size();
        m_pending.resize(start + fresh);
        m_capture->Read(m_startedAt, m_written, m_pending.data() + start, fresh);
        m_written = arrived;
    }
    // A write of one period is atomic (it is under PIPE_BUF): it goes in whole or not at all.
    std::size_t written = 0;
    while (m_pending.size() - written >= kPeriodBytes) {
        if (write(m_fd, m_pending.data() + written, kPeriodBytes) < 0) {
            if (errno == EPIPE) {
                EndRun();  // the reader has gone: the capture is over
                return;
            }
            break;  // EAGAIN: full, the rest goes at the next pump
        }
        written += kPeriodBytes;
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(written));
}

}  // namespace sim
