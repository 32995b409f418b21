#include <cstring>

#include "platform/win32api.h"

LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
    if (lpString1 == nullptr || lpString2 == nullptr || iMaxLength <= 0) {
        return nullptr;
    }
    const std::size_t room = static_cast<std::size_t>(iMaxLength) - 1;
    const std::size_t length = strnlen(lpString2, room);
    std::memmove(lpString1, lpString2, length);
    lpString1[length] = '\0';
    return lpString1;
}
