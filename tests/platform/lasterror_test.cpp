#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32api.h"

namespace {

TEST(LastError, IsKeptPerThread) {
    // The threads meet through atomics alone: starting and joining a thread are library calls that
    // may set the last error themselves (on Windows, TlsGetValue clears it on success).
    std::atomic<int> stage{0};
    DWORD seenByWorker = 0;
    std::thread worker([&] {
        while (stage.load() != 1) {
        }
        SetLastError(ERROR_TIMEOUT);
        seenByWorker = GetLastError();
        stage.store(2);
    });
    SetLastError(ERROR_BUSY);
    stage.store(1);
    while (stage.load() != 2) {
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
    worker.join();
    EXPECT_EQ(seenByWorker, static_cast<DWORD>(ERROR_TIMEOUT));
}

TEST(InterlockedExchange, ReturnsTheOldValueAtomically) {
    LONG volatile value = 7;
    EXPECT_EQ(InterlockedExchange(&value, -3), 7);
    EXPECT_EQ(value, -3);

    // A lock made of nothing but exchanges: a torn or reordered exchange loses increments.
    constexpr int kRounds = 20000;
    LONG volatile busy = 0;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < kRounds; ++i) {
            while (InterlockedExchange(&busy, 1) != 0) {
                std::this_thread::yield();
            }
            ++counter;
            InterlockedExchange(&busy, 0);
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 2 * kRounds);
}

}  // namespace
