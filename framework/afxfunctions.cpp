#include "framework/afxfunctions.h"

#include <string>

#include "diagnostics/runlog.h"
#include "framework/winapp.h"
#include "framework/wnd.h"

int AfxLoadString(UINT nIDS, LPSTR lpszBuf, UINT nMaxBuf) {
    CWinApp* app = AfxGetApp();
    const HINSTANCE hInstance = app != nullptr ? app->m_hInstance : GetModuleHandleA(nullptr);
    const int length = ::LoadStringA(hInstance, nIDS, lpszBuf, static_cast<int>(nMaxBuf));
    if (length == 0 && nMaxBuf > 0) {
        lpszBuf[0] = '\0';
    }
    return length;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
    CWinApp* app = AfxGetApp();
    HWND owner = nullptr;
    LPCSTR caption = nullptr;
    if (app != nullptr) {
        owner = app->m_pMainWnd != nullptr ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
        caption = app->m_pszAppName;
    }
    runlog::Write(std::string("message \"") + lpszText + "\"");
    const int answer = ::MessageBoxA(owner, lpszText, caption, nType);
    runlog::Write("message answered " + std::to_string(answer));
    return answer;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    char text[1024];
    if (AfxLoadString(nIDPrompt, text, sizeof text) == 0) {
        // The framework shows an empty box rather than none, so the caller still gets its answer.
        text[0] = '\0';
    }
    return AfxMessageBox(text, nType, nIDHelp);
}

UINT AfxGetWindowDpi(HWND hWnd) {
    typedef UINT(WINAPI * GetDpiForWindowFunction)(HWND);
    // user32 is loaded: the program imports it. The look-up leaves the caller's last error.
    const DWORD lastError = GetLastError();
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto getDpiForWindow =
        user32 == nullptr ? nullptr
                          : reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
                                GetProcAddress(user32, "GetDpiForWindow")));
    SetLastError(lastError);
    if (hWnd != nullptr && getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(hWnd)) {
            return dpi;
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}
