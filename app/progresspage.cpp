#include "app/progresspage.h"

#include "app/commandline.h"
#include "app/setupapp.h"
#include "app/setupdlg.h"
#include "framework/afxfunctions.h"
#include "framework/winthread.h"
#include "resources/resource.h"

CProgressPage::CProgressPage(UINT nIDTemplate, UINT nIDHeaderTitle, UINT nIDHeaderSubTitle,
                             LONG volatile* pAnswer, int nFailureTitleId, int nFailureBodyId)
    : CPropertyPage(nIDTemplate, 0, nIDHeaderTitle, nIDHeaderSubTitle),
      m_pAnswer(pAnswer),
      m_nFailureTitleId(nFailureTitleId),
      m_nFailureBodyId(nFailureBodyId) {
    m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
}

CSetupDlg* CProgressPage::GetSetupDlg() const {
    return static_cast<CSetupDlg*>(GetParent());
}

void CProgressPage::Notify(UINT code, LONG value) {
    SendNotifyMessageA(m_hWnd, WM_APP, code, value);
}

void CProgressPage::Animate() {
    Notify(WN_ANIMATE);
}

void CProgressPage::StartProgress() {
    Notify(WN_PROGRESS_START);
}

void CProgressPage::Progress(LONG value) {
    Notify(WN_PROGRESS, value);
}

void CProgressPage::Marquee(bool on) {
    Notify(on ? WN_MARQUEE_ON : WN_MARQUEE_OFF);
}

void CProgressPage::Done() {
    Notify(WN_DONE);
}

LONG CProgressPage::Ask(WorkerQuestion question) {
    InterlockedExchange(m_pAnswer, 0);
    Notify(question == WorkerQuestion::BadImage ? WN_ASK_BAD_IMAGE : WN_ASK_NOT_CONNECTED);
    // Waits for a person, so without a bound of its own.
    LONG answer;
    while ((answer = InterlockedExchange(m_pAnswer, 0)) == 0) {
        Sleep(100);
    }
    return answer;
}

bool CProgressPage::IsQuiet() const {
    return static_cast<CSetupApp*>(AfxGetApp())->HasSwitch(SWITCH_QUIET) != FALSE;
}

bool CProgressPage::EarlierStageFailed() const {
    int nTitleId = 0;
    int nBodyId = 0;
    int nFooterId = 0;
    int nError = 0;
    CSetupDlg::GetWorkerOutcome(&nTitleId, &nBodyId, &nFooterId, &nError);
    return nError != 0;
}

void CProgressPage::StoreSuccess() {
    CSetupDlg::SetWorkerOutcome(0, 0, 0, 0);
}

void CProgressPage::StoreFailure(DWORD dwError) {
    CSetupDlg::SetWorkerOutcome(m_nFailureTitleId, m_nFailureBodyId, 0,
                                static_cast<int>(dwError != 0 ? dwError : ERROR_GEN_FAILURE));
}

BOOL CProgressPage::OnSetActive() {
    if (!CPropertyPage::OnSetActive()) {
        return FALSE;
    }
    GetSetupDlg()->SetWizardButtons(0);
    m_bWorking = true;
    if (AfxBeginThread(ThreadEntry, this, THREAD_PRIORITY_NORMAL, 0, 0, nullptr) == nullptr) {
        // Without its worker the page would wait for ever for a WN_DONE: record why the stage
        // failed and move on as the worker would have.
        OnWorkerNotStarted(GetLastError());
        PostMessage(WM_APP, WN_DONE, 0);
    }
    return TRUE;
}

void CProgressPage::OnWorkerNotStarted(DWORD dwError) {
    StoreFailure(dwError);
}

UINT CProgressPage::ThreadEntry(LPVOID pParam) {
    return static_cast<CProgressPage*>(pParam)->RunWorker();
}

LRESULT CProgressPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        if (wParam == WN_DONE) {
            m_bWorking = false;
        }
        return OnWorkerNotification(wParam, lParam);
    }
    return CPropertyPage::WindowProc(message, wParam, lParam);
}

void CProgressPage::ShowAnimation() {
    GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_HIDE);
    CWnd* animation = GetDlgItem(IDC_ANIMATE);
    animation->ShowWindow(SW_SHOW);
    const HINSTANCE hInstance = GetModuleHandleA(nullptr);
    if (animation->SendMessage(ACM_OPENA, reinterpret_cast<WPARAM>(hInstance),
                               reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_BUSY_AVI)))) {
        // From the first frame to the last, repeated without end.
        animation->SendMessage(ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
    }
}

void CProgressPage::ShowProgressBar() {
    CWnd* animation = GetDlgItem(IDC_ANIMATE);
    animation->SendMessage(ACM_STOP, 0, 0);
    animation->SendMessage(ACM_OPENA, 0, 0);
    animation->ShowWindow(SW_HIDE);
    CWnd* progress = GetDlgItem(IDC_PROGRESS);
    progress->ShowWindow(SW_SHOW);
    progress->SendMessage(PBM_SETPOS, 0, 0);
}

void CProgressPage::SetProgressPosition(int nPosition) {
    GetDlgItem(IDC_PROGRESS)->SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPosition), 0);
}

void CProgressPage::AnswerWorker(UINT nIDPrompt, UINT nType) {
    int result = AfxMessageBox(nIDPrompt, nType);
    if (result == 0) {
        // The box could not be shown. Its worker waits for any answer but 0, so give it one
        // rather than leave it polling for ever.
        result = IDABORT;
    }
    InterlockedExchange(m_pAnswer, result);
}

void CProgressPage::PressNext() {
    CSetupDlg* sheet = GetSetupDlg();
    sheet->SetWizardButtons(PSWIZB_NEXT);
    sheet->SendMessage(PSM_PRESSBUTTON, PSBTN_NEXT, 0);
}
