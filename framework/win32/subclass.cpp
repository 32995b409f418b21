// Windows created by the system (the common controls' sheet and pages) reach their framework
// objects by subclassing: the window's procedure is replaced by one that hands each message to the
// object, whose default handling calls the procedure that was replaced.
#include "framework/wnd.h"

namespace {

LRESULT CALLBACK FrameworkWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr || wnd->m_pfnSuper == nullptr) {
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window's last message: the window gets its own procedure back and the object lets go
        // of it, since the object outlives it (sheet and pages live on the caller's stack).
        const WNDPROC super = wnd->m_pfnSuper;
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        wnd->m_pfnSuper = nullptr;
        wnd->Detach();
        return ::CallWindowProcA(super, hWnd, message, wParam, lParam);
    }
    return wnd->HandleMessage(message, wParam, lParam);
}

}  // namespace

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr) {
        return FALSE;
    }
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc)));
    if (m_pfnSuper == nullptr) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) {
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
