#include <gtest/gtest.h>

#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

// What the stand-ins are not asked to do ends the process loudly, naming the use.
TEST(UnsupportedDeathTest, NamesTheUseAndEndsTheProcess) {
    EXPECT_DEATH(portable::Unsupported("CreateWindowExW"),
                 "unsupported Win32 use: CreateWindowExW");

    char buffer[64];
    EXPECT_DEATH(
        FormatMessageA(FORMAT_MESSAGE_FROM_STRING, "%1", 0, 0, buffer, sizeof buffer, nullptr),
        "unsupported Win32 use: FormatMessageA");
    EXPECT_DEATH(FindResourceA(nullptr, "FIRMWARE", RT_RCDATA),
                 "unsupported Win32 use: FindResourceA");
    EXPECT_DEATH(LoadStringA(nullptr, 1, buffer, 0), "unsupported Win32 use: LoadStringA");
}

}  // namespace
