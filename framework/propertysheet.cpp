#include "framework/propertysheet.h"

#include <cstring>

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption != nullptr ? pszCaption : "") {
    std::memset(&m_psh, 0, sizeof m_psh);
    m_psh.dwSize = sizeof m_psh;
    // The framework's defaults, which a wizard adjusts.
    m_psh.dwFlags = PSH_HASHELP;
    m_psh.hwndParent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    m_psh.hInstance = GetModuleHandleA(nullptr);
    m_psh.pszCaption = m_strCaption.c_str();
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
}

void CPropertySheet::SetTitle(LPCSTR lpszText, UINT /*nStyle*/) {
    m_strCaption = lpszText != nullptr ? lpszText : "";
    m_psh.pszCaption = m_strCaption.c_str();
    if (m_hWnd != nullptr) {
        SetWindowText(m_strCaption.c_str());
    }
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
    PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
}

void CPropertySheet::PressButton(int nButton) {
    PostMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0);
}

void CPropertySheet::SetFinishText(LPCSTR lpszText) {
    SendMessage(PSM_SETFINISHTEXTA, 0, reinterpret_cast<LPARAM>(lpszText));
}

// The handlers' defaults hand the message on with its own parameters: the common controls' sheet
// finds its state in WM_INITDIALOG's.
int CPropertySheet::OnCreate(LPCREATESTRUCT /*lpCreateStruct*/) {
    return static_cast<int>(Default());
}

BOOL CPropertySheet::OnInitDialog() {
    return static_cast<BOOL>(Default());
}

void CPropertySheet::OnPaint() {
    Default();
}

HCURSOR CPropertySheet::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}

BOOL CPropertySheet::OnQueryEndSession() {
    return static_cast<BOOL>(Default());
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(OnQueryDragIcon());
        case WM_QUERYENDSESSION:
            return OnQueryEndSession();
        case WM_SETTEXT:
            // The common controls give a wizard the title of each page it shows. A page without a
            // title of its own would blank the caption; the sheet keeps the one it was given.
            if (lParam != 0 && *reinterpret_cast<LPCSTR>(lParam) == '\0' && !m_strCaption.empty()) {
                return TRUE;
            }
            return CWnd::WindowProc(message, wParam, lParam);
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}
