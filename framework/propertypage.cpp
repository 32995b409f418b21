#include "framework/propertypage.h"

#include <cstring>

#include "diagnostics/runlog.h"
#include "framework/afxfunctions.h"
#include "framework/propertysheet.h"

namespace {

std::string LoadText(UINT nID) {
    char text[256];
    return nID != 0 && AfxLoadString(nID, text, sizeof text) != 0 ? std::string(text)
                                                                  : std::string();
}

}  // namespace

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption, UINT nIDHeaderTitle,
                             UINT nIDHeaderSubTitle)
    : m_strHeaderTitle(LoadText(nIDHeaderTitle)), m_strHeaderSubTitle(LoadText(nIDHeaderSubTitle)) {
    std::memset(&m_psp, 0, sizeof m_psp);
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    if (nIDCaption != 0) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = MAKEINTRESOURCEA(nIDCaption);
    }
    if (!m_strHeaderTitle.empty()) {
        m_psp.dwFlags |= PSP_USEHEADERTITLE;
        m_psp.pszHeaderTitle = m_strHeaderTitle.c_str();
    }
    if (!m_strHeaderSubTitle.empty()) {
        m_psp.dwFlags |= PSP_USEHEADERSUBTITLE;
        m_psp.pszHeaderSubTitle = m_strHeaderSubTitle.c_str();
    }
}

BOOL CPropertyPage::OnSetActive() {
    return TRUE;
}

LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}

LRESULT CPropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        switch (header->code) {
            case PSN_SETACTIVE:
                runlog::Write(std::string("page ") + GetLogName());
                return OnSetActive() ? 0 : -1;
            case PSN_WIZNEXT:
                runlog::Write(std::string("button Next on ") + GetLogName());
                return OnWizardNext();
            case PSN_WIZFINISH:
                runlog::Write(std::string("button Finish on ") + GetLogName());
                // Finish closes the wizard: what its modal run returns, however the sheet ends.
                if (m_pSheet != nullptr) {
                    m_pSheet->SetModalResult(ID_WIZFINISH);
                }
                return 0;
            case PSN_QUERYCANCEL:
                runlog::Write(std::string("button Cancel on ") + GetLogName());
                return 0;
            default:
                break;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
