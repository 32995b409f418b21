// The stand-in's own message table: a text for every code the system can record. (Windows and Wine
// keep tables of their own, whose coverage is theirs.)
#include <gtest/gtest.h>

#include <string>

#include "platform/win32api.h"

namespace {

// The codes that can reach the finish page or a message box.
constexpr DWORD kCodes[] = {
    ERROR_SUCCESS,
    ERROR_INVALID_HANDLE,
    ERROR_NOT_ENOUGH_MEMORY,
    ERROR_BAD_FORMAT,
    ERROR_INVALID_DATA,
    ERROR_OUTOFMEMORY,
    ERROR_BAD_UNIT,
    ERROR_GEN_FAILURE,
    ERROR_NOT_SUPPORTED,
    ERROR_INVALID_PARAMETER,
    ERROR_INSUFFICIENT_BUFFER,
    ERROR_BAD_PATHNAME,
    ERROR_BUSY,
    WAIT_TIMEOUT,
    ERROR_NO_MORE_ITEMS,
    ERROR_DEVICE_NOT_CONNECTED,
    ERROR_CANCELLED,
    ERROR_TIMEOUT,
    ERROR_INVALID_USER_BUFFER,
    ERROR_RESOURCE_DATA_NOT_FOUND,
    ERROR_RESOURCE_TYPE_NOT_FOUND,
    ERROR_RESOURCE_NAME_NOT_FOUND,
    ERROR_BAD_DRIVER,
    static_cast<DWORD>(SCARD_F_COMM_ERROR),
};

std::string AllocatedText(DWORD id) {
    LPSTR text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, id, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0,
        nullptr);
    std::string result = text != nullptr ? std::string(text, length) : std::string();
    LocalFree(text);
    return result;
}

TEST(FormatMessage, EveryCodeHasOneLineOfText) {
    for (DWORD code : kCodes) {
        const std::string text = AllocatedText(code);
        ASSERT_GT(text.size(), 2u) << "code " << code;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "code " << code;
        EXPECT_EQ(text.find_first_of("\r\n"), text.size() - 2) << "code " << code;
    }
}

}  // namespace
