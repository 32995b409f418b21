// Module handles and run-time lookup. The executable and the device-setup module are the only
// modules a build without Windows knows; the device-setup module exports the one routine the system
// looks up at run time.
#include <strings.h>
#include <unistd.h>
#include <cstring>

#include "platform/portable/moduleresources.h"
#include "platform/win32api.h"

namespace {

// A module handle only needs to be non-null and unlike any other.
char g_setupApiBase;

HMODULE SetupApiModule() {
    return reinterpret_cast<HMODULE>(&g_setupApiBase);
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName == nullptr) {
        return portable::ExecutableModule();
    }
    // Module names compare without regard to case, and the extension may be left off.
    if (strcasecmp(lpModuleName, "setupapi.dll") == 0 ||
        strcasecmp(lpModuleName, "setupapi") == 0) {
        return SetupApiModule();
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule != SetupApiModule()) {
        SetLastError(hModule == portable::ExecutableModule() ? ERROR_PROC_NOT_FOUND
                                                             : ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (lpProcName != nullptr && !IS_INTRESOURCE(lpProcName) &&
        std::strcmp(lpProcName, "CMP_WaitNoPendingInstallEvents") == 0) {
        // Through void (*)(), the type that converts to and from any function pointer type.
        return reinterpret_cast<FARPROC>(
            reinterpret_cast<void (*)()>(&CMP_WaitNoPendingInstallEvents));
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr && hModule != portable::ExecutableModule()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const ssize_t length = readlink("/proc/self/exe", lpFilename, nSize);
    if (length < 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    // As on Windows, a path that does not fit is cut, terminated, and reported as the full size.
    if (static_cast<DWORD>(length) >= nSize) {
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    lpFilename[length] = '\0';
    return static_cast<DWORD>(length);
}
