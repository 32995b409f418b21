#include "app/setupapp.h"

#include "app/commandline.h"

CSetupApp::CSetupApp() : CWinApp(nullptr) {}

BOOL CSetupApp::InitInstance() {
    // The wizard sheet that runs these pages comes with the wizard itself. Until then the run ends
    // here, as one whose sheet could not be created does.
    [[maybe_unused]] const std::vector<WizardPage> pages = SelectWizardPages(m_lpCmdLine);
    ApplyWizardResult(-1);
    return FALSE;
}

int CSetupApp::ExitInstance() {
    CWinApp::ExitInstance();
    return m_nExitCode;
}

BOOL CSetupApp::HasSwitch(LPCSTR lpSwitch) const {
    return IsSwitchPresent(m_lpCmdLine, lpSwitch);
}

void CSetupApp::ApplyWizardResult(INT_PTR nResult) {
    if (nResult == IDCANCEL) {
        m_nExitCode = ERROR_CANCELLED;
    }
    // ID_WIZFINISH and IDOK keep the finish page's code; any other result (-1 when the sheet could
    // not be created) keeps it too, and the finish page never ran, so it is still 0.
}
