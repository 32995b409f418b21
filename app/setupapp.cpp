#include "app/setupapp.h"

#include <cstdio>

#include "app/commandline.h"
#include "app/setupdlg.h"
#include "device/mixerids.h"
#include "diagnostics/runlog.h"
#include "diagnostics/systemdescription.h"
#include "framework/afxfunctions.h"
#include "resources/resource.h"

CSetupApp::CSetupApp(std::string programVersion)
    : CWinApp(nullptr), m_strProgramVersion(std::move(programVersion)) {}

BOOL CSetupApp::InitInstance() {
    StartLog();
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
    StopLog();
    return m_nExitCode;
}

std::string CSetupApp::GetSwitches() const {
    LogRequest request;
    return TakeLogSwitch(m_lpCmdLine, &request);
}

BOOL CSetupApp::HasSwitch(LPCSTR lpSwitch) const {
    return IsSwitchPresent(GetSwitches().c_str(), lpSwitch);
}

void CSetupApp::StartLog() {
    LogRequest request;
    TakeLogSwitch(m_lpCmdLine, &request);
    if (request.path.empty()) {
        return;
    }
    std::string error;
    if (!runlog::Start(request.path,
                       request.transfers ? runlog::Detail::Transfers : runlog::Detail::Events,
                       &error)) {
        ReportLogFailure(error);
        return;
    }
    runlog::Write("program " + m_strProgramVersion);
    runlog::Write("system " + runlog::SystemDescription());
    runlog::Write(std::string("command-line ") + m_lpCmdLine);
}

void CSetupApp::StopLog() {
    if (runlog::IsOn()) {
        runlog::Write("exit-code " + runlog::ErrorText(static_cast<DWORD>(m_nExitCode)));
        runlog::Stop();
    }
    const std::string failure = runlog::WriteFailure();
    if (!failure.empty()) {
        ReportLogFailure(failure);
    }
}

void CSetupApp::ReportLogFailure(const std::string& reason) {
#ifdef _WIN32
    // A box waits for the person, never for an unattended run: that one has the debugger's channel.
    const std::string detail = reason + "\r\n";
    if (HasSwitch(SWITCH_QUIET)) {
        OutputDebugStringA(detail.c_str());
        return;
    }
    char text[512];
    if (AfxLoadString(IDS_LOG_NOT_WRITTEN, text, sizeof text) == 0) {
        text[0] = '\0';
    }
    AfxMessageBox((std::string(text) + "\r\n\r\n" + reason).c_str(), MB_OK | MB_ICONWARNING);
#else
    const std::string program = m_strProgramVersion.substr(0, m_strProgramVersion.find(' '));
    std::fprintf(stderr, "%s: the log cannot be written (%s); the run goes on without it\n",
                 program.c_str(), reason.c_str());
#endif
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
