// A DLL left where a program looks for its DLLs, under the name of a system DLL, as one could be
// left in a download folder. Loaded, it leaves a marker beside itself (its file name as the module
// was loaded, with ".loaded" added) and then declines to stay, so that a program that took it ends
// at once instead of calling functions it does not have. Built as hid.dll and as winmm.dll.
#include "platform/win32api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    char marker[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameA(self, marker, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        lstrcatA(marker, ".loaded");
        const HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
    return FALSE;
}
