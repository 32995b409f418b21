// Process entry of the Windows program. The exit code goes to the system unchanged.
#include "framework/winapp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    // DLLs that system DLLs load by name while the program runs (the common controls' video
    // support and with it winmm, audio drivers, ...) come from the system folder only, never from
    // the folder the program was downloaded to. Static imports are resolved before this line, so
    // the program imports only KnownDLLs and finds hid and winmm itself (platform/win32/).
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The shell's taskbar object is a COM object of the user-interface thread's apartment. Without
    // COM the wizard still runs, only without progress on its taskbar button.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int exitCode = AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return exitCode;
}
