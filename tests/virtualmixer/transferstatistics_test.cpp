// The virtual mixer's transfer times: the server's share, and the round trip of transfers that
// follow each other closely; a pause of the program is not a transfer's time.
#include "sim/virtualmixer/transferstatistics.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(TransferStatistics, SplitTheRoundTripFromTheServersShare) {
    sim::TransferStatistics statistics;
    const auto t0 = sim::TransferStatistics::Clock::time_point{} + std::chrono::hours(1);
    statistics.Record(t0, t0 + microseconds(10));
    // Back to back: 400 and 600 us from the end of one to the end of the next.
    statistics.Record(t0 + microseconds(380), t0 + microseconds(410));
    statistics.Record(t0 + microseconds(990), t0 + microseconds(1010));
    // The program slept 8 s: not a round trip.
    statistics.Record(t0 + milliseconds(8001), t0 + milliseconds(8001) + microseconds(40));
    EXPECT_EQ(statistics.Transfers(), 4u);
    EXPECT_DOUBLE_EQ(statistics.ServerMicroseconds(), (10.0 + 30 + 20 + 40) / 4);
    EXPECT_DOUBLE_EQ(statistics.RoundTripMicroseconds(), 500.0);
    EXPECT_DOUBLE_EQ(statistics.SpanSeconds(), 8.00104);
    EXPECT_EQ(statistics.Report(),
              "transfers: 4 in 8.0 s\nserver time per transfer: 25.0 us\n"
              "round trip per transfer: 500.0 us (2 back to back)\n");
}

TEST(TransferStatistics, SayNothingOfTransfersThatDidNotHappen) {
    const sim::TransferStatistics statistics;
    EXPECT_EQ(statistics.Report(),
              "transfers: 0 in 0.0 s\nserver time per transfer: 0.0 us\n"
              "round trip per transfer: 0.0 us (0 back to back)\n");
}

}  // namespace
