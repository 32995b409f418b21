// The process clock's arithmetic, across its wrap: the mixer's restarts and installations fall due
// with Reached, and every capture counts its bytes with BytesArrived.
#include "sim/processclock.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessClock, ReachedComparesAcrossTheWrap) {
    struct Case {
        DWORD now, when;
        bool reached;
    } const cases[] = {
        {100, 100, true},        {101, 100, true},
        {99, 100, false},        {5, 0xFFFFFFF0u, true},  // the clock wrapped after `when` was set
        {0xFFFFFFF0u, 5, false},                          // `when` lies past the wrap
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim::Reached(c.now, c.when), c.reached) << c.now << " vs " << c.when;
    }
}

TEST(ProcessClock, BytesArrivedCountsWholeMillisecondsFromTheStart) {
    struct Case {
        DWORD startedAt, now;
        std::uint64_t framesPerSecond, frameBytes, bytes;
    } const cases[] = {
        {1000, 2000, 48000, 4, 192000},
        {0xFFFFFC18u, 1000, 48000, 4, 384000},  // two seconds across the wrap
        {1000, 1000, 48000, 4, 0},
        {1000, 999, 48000, 4, 0},  // read before the start: nothing yet
        {0, 1, 44100, 2, 88},      // 44.1 frames in the first millisecond: 44 whole ones
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim::BytesArrived(c.startedAt, c.now, c.framesPerSecond, c.frameBytes), c.bytes)
            << c.startedAt << " to " << c.now;
    }
}

}  // namespace
