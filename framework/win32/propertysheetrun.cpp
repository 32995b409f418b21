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
INT_PTR CALLBACK PageDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
            auto* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
            page->SubclassWindow(hWnd);
            return TRUE;
        }
        case WM_SHOWWINDOW:
            // A Wizard 97 sheet draws the header or the watermark around its pages. Going from a
            // page with a header to one without, some common controls (Wine's) repaint only what
            // the last page uncovered and leave its header standing: the sheet is redrawn whole.
            if (wParam != FALSE) {
                RedrawWindow(GetParent(hWnd), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// A bitmap of the sheet's header that names a resource, loaded for the length of the run and handed
// to the sheet in place of the name.
class WizardBitmap {
public:
    WizardBitmap(PROPSHEETHEADERA& header, DWORD use, DWORD useHandle, LPCSTR name,
                 HBITMAP& handle) {
        if ((header.dwFlags & use) == 0 || (header.dwFlags & useHandle) != 0) {
            return;
        }
        m_hBitmap = static_cast<HBITMAP>(
            ::LoadImageA(header.hInstance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (m_hBitmap != nullptr) {
            handle = m_hBitmap;
            header.dwFlags |= useHandle;
        }
    }
    ~WizardBitmap() {
        if (m_hBitmap != nullptr) {
            ::DeleteObject(m_hBitmap);
        }
    }
    WizardBitmap(const WizardBitmap&) = delete;
    WizardBitmap& operator=(const WizardBitmap&) = delete;

private:
    HBITMAP m_hBitmap = nullptr;
};

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
    // The wizard's bitmaps go to the sheet as bitmaps rather than resource names: not every
    // common controls library draws a header it was asked to load itself (Wine's does not).
    const WizardBitmap watermark(header, PSH_WATERMARK, PSH_USEHBMWATERMARK, header.pszbmWatermark,
                                 header.hbmWatermark);
    const WizardBitmap banner(header, PSH_HEADER, PSH_USEHBMHEADER, header.pszbmHeader,
                              header.hbmHeader);
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
