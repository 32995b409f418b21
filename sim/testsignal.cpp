#include "sim/testsignal.h"

#include "device/testsignal.h"

namespace sim {

namespace {

constexpr std::size_t kPeriod = 65535;  // every non-zero value once
constexpr std::int64_t kFramesPerMs = TEST_SIGNAL_RATE / 1000;

// Frames from `since` to the capture's frame, which lies `frame` frames after `startedAt`. The
// clock wraps, so the distance between the two times is taken as signed.
std::int64_t FramesAfter(DWORD since, DWORD startedAt, std::uint64_t frame) {
    return static_cast<std::int64_t>(static_cast<LONG>(startedAt - since)) * kFramesPerMs +
           static_cast<std::int64_t>(frame);
}

}  // namespace

TestSignal::TestSignal(const AudioConfig& config) : m_config(config), m_sequence(kPeriod) {
    WORD value = config.signalSeed;
    for (WORD& entry : m_sequence) {
        entry = value;
        value = NextTestSample(value);
    }
}

void TestSignal::SwitchOn(DWORD now) {
    if (m_config.silence || (m_switchedOn && !m_switchedOff)) {
        return;
    }
    m_switchedOn = true;
    m_onAt = now + m_config.signalDelayMs;
    m_switchedOff = false;
}

void TestSignal::SwitchOff(DWORD now) {
    if (m_switchedOn && !m_switchedOff) {
        m_switchedOff = true;
        m_offAt = now;
    }
}

void TestSignal::Reset() {
    m_switchedOn = false;
    m_switchedOff = false;
}

void TestSignal::Frame(DWORD startedAt, std::uint64_t frame, WORD* left, WORD* right) const {
    *left = *right = 0;
    if (!m_switchedOn) {
        return;
    }
    const std::int64_t sinceOn = FramesAfter(m_onAt, startedAt, frame);
    if (sinceOn < 0 || (m_switchedOff && FramesAfter(m_offAt, startedAt, frame) >= 0)) {
        return;
    }
    std::int64_t step = sinceOn;
    if (frame >= m_config.dropFrameAt) {
        ++step;
    }
    if (frame >= m_config.repeatFrameAt && step > 0) {
        --step;
    }
    *left = m_sequence[static_cast<std::size_t>(step % static_cast<std::int64_t>(kPeriod))];
    *right = m_config.channelsDiffer ? static_cast<WORD>(~*left) : *left;
}

void TestSignal::Read(DWORD startedAt, std::uint64_t offset, BYTE* data, std::size_t length) const {
    std::uint64_t current = ~std::uint64_t{0};
    BYTE bytes[TEST_SIGNAL_FRAME_BYTES] = {};
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint64_t position = offset + i;
        const std::uint64_t frame = position / TEST_SIGNAL_FRAME_BYTES;
        if (frame != current) {
            current = frame;
            WORD left = 0;
            WORD right = 0;
            Frame(startedAt, frame, &left, &right);
            // Little-endian samples, left first.
            bytes[0] = static_cast<BYTE>(left);
            bytes[1] = static_cast<BYTE>(left >> 8);
            bytes[2] = static_cast<BYTE>(right);
            bytes[3] = static_cast<BYTE>(right >> 8);
        }
        data[i] = bytes[position % TEST_SIGNAL_FRAME_BYTES];
    }
}

}  // namespace sim
