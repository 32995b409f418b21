#include "app/setupapp.h"

#include "app/commandline.h"
#include "app/setupdlg.h"
#include "device/mixerids.h"
#include "framework/afxfunctions.h"
#include "resources/resource.h"

CSetupApp::CSetupApp() : CWinApp(nullptr) {}

BOOL CSetupApp::InitInstance() {
    if (!TakeUpdateMutex()) {
        return FALSE;
    }
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

bool CSetupApp::TakeUpdateMutex() {
    // Held to the end of the process. Another user's wizard holds a mutex this user may not open:
    // that is refused with ERROR_ACCESS_DENIED, and means the same.
    m_hUpdateMutex = CreateMutexA(nullptr, FALSE, UPDATE_MUTEX_NAME);
    const DWORD dwError = GetLastError();
    if (dwError != ERROR_ALREADY_EXISTS &&
        !(m_hUpdateMutex == nullptr && dwError == ERROR_ACCESS_DENIED)) {
        // Any other failure to make the mutex leaves the wizard as it was before there was one.
        return true;
    }
    if (!HasSwitch(SWITCH_QUIET)) {
        AfxMessageBox(IDS_ANOTHER_UPDATE, MB_OK | MB_ICONEXCLAMATION);
    }
    m_nExitCode = ERROR_SINGLE_INSTANCE_APP;
    return false;
}

int CSetupApp::ExitInstance() {
    if (m_hUpdateMutex != nullptr) {
        CloseHandle(m_hUpdateMutex);
        m_hUpdateMutex = nullptr;
    }
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
