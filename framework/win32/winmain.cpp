// Process entry of the Windows program. The exit code goes to the system unchanged.
#include "framework/winapp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    // The shell's taskbar object is a COM object of the user-interface thread's apartment. Without
    // COM the wizard still runs, only without progress on its taskbar button.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int exitCode = AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return exitCode;
}
