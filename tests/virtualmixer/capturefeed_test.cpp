// The mixer's capture fed into the FIFO that stands for its sound card, on the virtual clock: a
// reader that stops reading costs the feed no more than a second of audio, and the feed goes on
// when it reads again.
#include "sim/virtualmixer/capturefeed.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/simulatedsystem.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBytesPerSecond = 48000 * 4;

// What the FIFO holds now, read to its end.
std::size_t Drain(int fd) {
    std::size_t total = 0;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        total += static_cast<std::size_t>(got);
    }
    return total;
}

class CaptureFeed : public testing::Test {
protected:
    void SetUp() override {
        m_fifo = fs::temp_directory_path() / ("capturefeed_test_" + std::to_string(getpid()));
        ASSERT_EQ(mkfifo(m_fifo.c_str(), 0600), 0) << std::strerror(errno);
        m_reader = open(m_fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(m_reader, 0) << std::strerror(errno);
    }
    void TearDown() override {
        if (m_reader >= 0) {
            close(m_reader);
        }
        std::error_code ignored;
        fs::remove(m_fifo, ignored);
    }

    SimulatedSystem m_system;  // running its firmware: the audio function is there
    fs::path m_fifo;
    int m_reader = -1;
};

TEST_F(CaptureFeed, AReaderThatStopsReadingHoldsBackNoMoreThanASecond) {
    // The feed pumped as the virtual mixer pumps it, and pumped once after a long stall.
    for (const DWORD pumpEveryMs : {10u, 10000u}) {
        sim::CaptureFeed feed(&m_system.Mixer(), m_fifo.string());
        feed.Pump();  // the reader is there: the run begins
        std::size_t largestBacklog = 0;
        for (DWORD ms = 0; ms < 10000; ms += pumpEveryMs) {
            Sleep(pumpEveryMs);
            feed.Pump();
            largestBacklog = std::max(largestBacklog, feed.GetBacklog());
        }
        EXPECT_LE(largestBacklog, kBytesPerSecond) << pumpEveryMs;
        // The newest second is still there for the reader, and the run goes on from it.
        std::size_t held = 0;
        for (std::size_t got = Drain(m_reader); got != 0; got = Drain(m_reader)) {
            held += got;
            feed.Pump();
        }
        EXPECT_GE(held, kBytesPerSecond) << pumpEveryMs;
        Sleep(100);
        feed.Pump();
        EXPECT_EQ(Drain(m_reader), kBytesPerSecond / 10) << pumpEveryMs;
    }
}

}  // namespace
