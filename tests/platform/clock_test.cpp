#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/portable/clock.h"
#include "platform/win32api.h"

namespace {

class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override { portable::UseVirtualClock(); }
    void TearDown() override { portable::UseRealClock(); }
};

TEST_F(VirtualClock, SleepAdvancesTheTimeAtOnce) {
    ASSERT_TRUE(portable::IsClockVirtual());
    const DWORD t0 = timeGetTime();
    Sleep(8000);
    EXPECT_EQ(timeGetTime() - t0, 8000u);
    Sleep(0);
    EXPECT_EQ(timeGetTime() - t0, 8000u);
    EXPECT_EQ(timeGetTime() - t0, 8000u) << "virtual time moved without a Sleep";
}

TEST_F(VirtualClock, SleepsFromTwoThreadsAddUp) {
    constexpr int kSleeps = 5000;
    const DWORD t0 = timeGetTime();
    auto sleeper = [] {
        for (int i = 0; i < kSleeps; ++i) {
            Sleep(10);
        }
    };
    std::thread a(sleeper);
    std::thread b(sleeper);
    a.join();
    b.join();
    EXPECT_EQ(timeGetTime() - t0, 2u * kSleeps * 10u);
}

TEST_F(VirtualClock, SwitchingBackGivesRealTimeAgain) {
    portable::UseRealClock();
    EXPECT_FALSE(portable::IsClockVirtual());
    // Real time moves on by itself; virtual time would stand still without a Sleep.
    const DWORD t0 = timeGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_GE(timeGetTime() - t0, 1u);
}

}  // namespace
