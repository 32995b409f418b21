#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32api.h"

namespace {

class CriticalSection : public ::testing::Test {
protected:
    void SetUp() override { InitializeCriticalSection(&m_cs); }
    void TearDown() override { DeleteCriticalSection(&m_cs); }

    CRITICAL_SECTION m_cs;
};

TEST_F(CriticalSection, OwnerEntersAgainAndOthersWaitForTheLastLeave) {
    EnterCriticalSection(&m_cs);
    EnterCriticalSection(&m_cs);  // would deadlock if the section were not recursive

    std::atomic<bool> otherEntered{false};
    std::thread other([&] {
        EnterCriticalSection(&m_cs);
        otherEntered = true;
        LeaveCriticalSection(&m_cs);
    });

    // Waiting can only hide a fault here, never invent one.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(otherEntered);
    LeaveCriticalSection(&m_cs);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(otherEntered) << "one Leave of two released the section";
    LeaveCriticalSection(&m_cs);
    other.join();
    EXPECT_TRUE(otherEntered);
}

}  // namespace
