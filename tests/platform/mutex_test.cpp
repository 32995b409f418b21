// What the wizard relies on of a named mutex, on Windows and on the stand-in alike: the first
// CreateMutexA of a name makes it and says so; every later one, while a handle is open, gets the
// same mutex and ERROR_ALREADY_EXISTS; closing every handle ends it.
#include <gtest/gtest.h>

#include "platform/win32api.h"

namespace {

TEST(NamedMutex, ALaterCreationFindsItUntilEveryHandleIsClosed) {
    const char name[] = "Global\\VantorMutexTest";
    SetLastError(ERROR_INVALID_DATA);
    const HANDLE first = CreateMutexA(nullptr, FALSE, name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    const HANDLE second = CreateMutexA(nullptr, FALSE, name);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_NE(second, first);

    EXPECT_TRUE(CloseHandle(first));
    const HANDLE third = CreateMutexA(nullptr, FALSE, name);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));  // `second` keeps it
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(third));

    const HANDLE again = CreateMutexA(nullptr, FALSE, name);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(CloseHandle(again));
    EXPECT_FALSE(CloseHandle(again));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
