#include <gtest/gtest.h>

#include <string>

#include "platform/win32api.h"

namespace {

constexpr DWORD kFlags =
    FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
constexpr DWORD kLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
// The customer bit is set: no system has a text for it.
constexpr DWORD kUnknownId = 0x20001234;

std::string AllocatedText(DWORD id, DWORD minimum = 0) {
    LPSTR text = nullptr;
    const DWORD length = FormatMessageA(kFlags, nullptr, id, kLanguage,
                                        reinterpret_cast<LPSTR>(&text), minimum, nullptr);
    std::string result = text != nullptr ? std::string(text, length) : std::string();
    EXPECT_EQ(LocalFree(text), nullptr);
    return result;
}

TEST(FormatMessage, AllocatedBufferHoldsTheWholeTextWhateverTheMinimum) {
    const std::string text = AllocatedText(ERROR_CANCELLED);
    EXPECT_EQ(AllocatedText(ERROR_CANCELLED, 1000), text);
    EXPECT_EQ(AllocatedText(ERROR_CANCELLED, 1), text);
}

TEST(FormatMessage, CallerBufferMustHoldTheTextAndItsNull) {
    const std::string text = AllocatedText(ERROR_DEVICE_NOT_CONNECTED);
    const DWORD exact = static_cast<DWORD>(text.size() + 1);
    std::string buffer(exact, 'x');

    EXPECT_EQ(FormatMessageA(kFlags & ~FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                             ERROR_DEVICE_NOT_CONNECTED, kLanguage, buffer.data(), exact, nullptr),
              text.size());
    EXPECT_EQ(std::string(buffer.c_str()), text);

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(
        FormatMessageA(kFlags & ~FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                       ERROR_DEVICE_NOT_CONNECTED, kLanguage, buffer.data(), exact - 1, nullptr),
        0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(FormatMessage, UnknownIdFailsInBothForms) {
    LPSTR text = nullptr;
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(FormatMessageA(kFlags, nullptr, kUnknownId, kLanguage, reinterpret_cast<LPSTR>(&text),
                             0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    EXPECT_EQ(LocalFree(text), nullptr);

    char buffer[256];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(FormatMessageA(kFlags & ~FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, kUnknownId, 0,
                             buffer, sizeof buffer, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

}  // namespace
