#include "app/finishpage.h"

#include <string>

#include "app/commandline.h"
#include "app/setupapp.h"
#include "app/setupdlg.h"
#include "framework/afxfunctions.h"
#include "resources/resource.h"

namespace {

// The string, or nothing when the id is 0 or the string does not load: the template's text stays.
bool LoadOutcomeString(int nId, std::string* text) {
    char buffer[1024];
    if (nId == 0 || AfxLoadString(static_cast<UINT>(nId), buffer, sizeof buffer) == 0) {
        return false;
    }
    *text = buffer;
    return true;
}

// The system's words for the error, line break included, or nothing.
std::string SystemErrorText(int nError) {
    LPSTR text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, static_cast<DWORD>(nError), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result;
    if (length != 0 && text != nullptr) {
        result.assign(text, length);
    }
    if (text != nullptr) {
        LocalFree(text);
    }
    return result;
}

}  // namespace

CFinishPage::CFinishPage() : CPropertyPage(IDD_FINISH) {
    m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
    m_psp.dwFlags |= PSP_HIDEHEADER;
}

BOOL CFinishPage::OnSetActive() {
    auto* sheet = static_cast<CSetupDlg*>(GetParent());
    if (!CPropertyPage::OnSetActive()) {
        return FALSE;
    }
    int nTitleId = 0;
    int nBodyId = 0;
    int nFooterId = 0;
    int nError = 0;
    sheet->GetWorkerOutcome(&nTitleId, &nBodyId, &nFooterId, &nError);
    auto* app = static_cast<CSetupApp*>(AfxGetApp());
    app->m_nExitCode = nError;

    std::string text;
    if (LoadOutcomeString(nTitleId, &text)) {
        GetDlgItem(IDC_FINISH_TITLE)->SetWindowText(text.c_str());
    }
    if (LoadOutcomeString(nBodyId, &text)) {
        // The failure bodies end in a blank line, after which the reason stands.
        if (nError != 0) {
            text += SystemErrorText(nError);
        }
        GetDlgItem(IDC_FINISH_TEXT)->SetWindowText(text.c_str());
    }
    if (LoadOutcomeString(nFooterId, &text)) {
        GetDlgItem(IDC_FINISH_FOOTER)->SetWindowText(text.c_str());
    }

    sheet->SetWizardButtons(PSWIZB_FINISH);
    sheet->SetFinishText("&Finish");
    GetDlgItem(IDC_FINISH_TITLE)->SetFont(&sheet->m_fontTitle);
    if (app->HasSwitch(SWITCH_QUIET)) {
        sheet->SetModalResult(ID_WIZFINISH);
        sheet->PressButton(PSBTN_FINISH);
    }
    return TRUE;
}
