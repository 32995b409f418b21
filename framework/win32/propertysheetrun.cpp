// The modal run of a wizard sheet on Windows: the common controls' PropertySheetA. The sheet window
// is taken over as it is created, so that its object sees WM_CREATE and WM_INITDIALOG; each page as
// its dialog starts.
#include <vector>

#include "framework/propertysheet.h"

namespace {

// Subclasses the sheet's window from within its creation, before its first message: the common
// controls create the window themselves and hand it back only when the run has ended.
class SheetCreationHook {
public:
    explicit SheetCreationHook(CPropertySheet& sheet) {
        t_sheet = &sheet;
        t_hook = ::SetWindowsHookExA(WH_CBT, HookProc, nullptr, ::GetCurrentThreadId());
    }
    ~SheetCreationHook() {
        Unhook();
        t_sheet = nullptr;
    }
    SheetCreationHook(const SheetCreationHook&) = delete;
    SheetCreationHook& operator=(const SheetCreationHook&) = delete;

    bool Installed() const { return t_hook != nullptr; }

private:
    static void Unhook() {
        if (t_hook != nullptr) {
            ::UnhookWindowsHookEx(t_hook);
            t_hook = nullptr;
        }
    }

    static LRESULT CALLBACK HookProc(int nCode, WPARAM wParam, LPARAM lParam) {
        const LRESULT next = ::CallNextHookEx(t_hook, nCode, wParam, lParam);
        if (nCode == HCBT_CREATEWND && t_sheet != nullptr) {
            const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
            const auto hWnd = reinterpret_cast<HWND>(wParam);
            // The sheet is the run's first top-level dialog; other windows (an input method's,
            // say) may be made on the way.
            char className[16] = {};
            ::GetClassNameA(hWnd, className, sizeof className);
            if ((create->lpcs->style & WS_CHILD) == 0 && lstrcmpA(className, "#32770") == 0) {
                t_sheet->SubclassWindow(hWnd);
                t_sheet = nullptr;
                Unhook();
            }
        }
        return next;
    }

    static thread_local CPropertySheet* t_sheet;
    static thread_local HHOOK t_hook;
};

thread_local CPropertySheet* SheetCreationHook::t_sheet = nullptr;
thread_local HHOOK SheetCreationHook::t_hook = nullptr;

// The pages' dialog procedure: each page's object takes its window over as the dialog starts; from
// then on the object's window procedure runs first, and this procedure leaves the rest to the
// dialog's default handling.
INT_PTR CALLBACK PageDialogProc(HWND hWnd, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        auto* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
        page->SubclassWindow(hWnd);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CPropertySheet::DoModal() {
    m_nModalResult = 0;
    if (m_pages.empty() || m_hWnd != nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);  // one run at a time, with at least one page
        return -1;
    }
    // The pages' templates use the animation control and the progress bar.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    std::vector<PROPSHEETPAGEA> pages;
    pages.reserve(m_pages.size());
    for (CPropertyPage* page : m_pages) {
        PROPSHEETPAGEA psp = page->m_psp;
        psp.dwSize = sizeof psp;
        if (psp.hInstance == nullptr) {
            psp.hInstance = m_psh.hInstance;
        }
        psp.pfnDlgProc = PageDialogProc;
        psp.lParam = reinterpret_cast<LPARAM>(page);
        pages.push_back(psp);
    }
    PROPSHEETHEADERA header = m_psh;
    header.dwSize = sizeof header;
    header.dwFlags = (header.dwFlags | PSH_PROPSHEETPAGE) & ~static_cast<DWORD>(PSH_MODELESS);
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();

    INT_PTR result;
    {
        const SheetCreationHook hook(*this);
        result = hook.Installed() ? ::PropertySheetA(&header) : -1;
    }
    // The window is gone; so are the stand-ins made for its buttons and controls.
    Detach();
    m_pfnSuper = nullptr;
    CWnd::DeleteTempMap();
    if (result < 0) {
        return -1;
    }
    // Finish records itself; a wizard closes otherwise only through Cancel.
    return m_nModalResult != 0 ? m_nModalResult : IDCANCEL;
}
