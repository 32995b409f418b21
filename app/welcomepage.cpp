#include "app/welcomepage.h"

#include "app/commandline.h"
#include "app/setupapp.h"
#include "app/setupdlg.h"
#include "resources/resource.h"

CWelcomePage::CWelcomePage() : CPropertyPage(IDD_WELCOME) {
    m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
    m_psp.dwFlags |= PSP_HIDEHEADER;
}

BOOL CWelcomePage::OnSetActive() {
    if (!CPropertyPage::OnSetActive()) {
        return FALSE;
    }
    auto* sheet = static_cast<CSetupDlg*>(GetParent());
    // The wizard only goes forward.
    sheet->GetDlgItem(ID_WIZBACK)->ShowWindow(SW_HIDE);
    sheet->SetWizardButtons(PSWIZB_NEXT);
    GetDlgItem(IDC_WELCOME_TITLE)->SetFont(&sheet->m_fontTitle);
    if (static_cast<CSetupApp*>(AfxGetApp())->HasSwitch(SWITCH_QUIET)) {
        sheet->PressButton(PSBTN_NEXT);
    }
    return TRUE;
}

LRESULT CWelcomePage::OnWizardNext() {
    // Past the welcome page the work cannot be interrupted, by the user's Next or by quiet mode's.
    GetParent()->GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    return 0;
}
