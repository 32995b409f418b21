#include "app/setupapp.h"

#include "app/commandline.h"
#include "app/setupdlg.h"

CSetupApp::CSetupApp() : CWinApp(nullptr) {}

BOOL CSetupApp::InitInstance() {
    {
        // The sheet chooses its pages from the command line; its caption comes later, from the
        // string table.
        CSetupDlg dlg("", nullptr, 0);
        m_pMainWnd = &dlg;
        ApplyWizardResult(dlg.DoModal());
        m_pMainWnd = nullptr;
    }
    // The wizard has run: no message loop of the application's own.
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
    } else if (nResult == -1) {
        // The sheet could not be created, so nothing was updated or tested: a caller that runs the
        // wizard quietly must not read that as success. The creation's own reason, when it left
        // one.
        const DWORD dwError = GetLastError();
        m_nExitCode = static_cast<int>(dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE);
    }
    // ID_WIZFINISH and IDOK keep the code the finish page copied from the last stage's outcome.
}
