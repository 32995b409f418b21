// Where the time of a transfer goes when a program reaches the virtual mixer through FUSE: the
// server's own share (the ioctl, the simulated mixer included) against the whole round trip, seen
// as the time from the end of one transfer to the end of the next while transfers follow each
// other closely (a pause longer than kBackToBack is the program waiting, not a transfer).
#pragma once

#include <chrono>
#include <string>

namespace sim {

class TransferStatistics {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kBackToBack{50};

    void Record(Clock::time_point start, Clock::time_point end);

    unsigned long long Transfers() const { return m_transfers; }
    // Mean server time per transfer, in microseconds.
    double ServerMicroseconds() const;
    // Mean round trip of the transfers that followed another closely, in microseconds.
    double RoundTripMicroseconds() const;
    // Seconds from the first transfer's start to the last one's end.
    double SpanSeconds() const;
    std::string Report() const;

private:
    unsigned long long m_transfers = 0;
    Clock::duration m_server{};
    unsigned long long m_backToBack = 0;
    Clock::duration m_roundTrips{};
    Clock::time_point m_first{};
    Clock::time_point m_lastEnd{};
};

}  // namespace sim
