#include "app/porttestpage.h"

#include "app/setupdlg.h"
#include "app/workernotification.h"
#include "resources/resource.h"

LRESULT CPortTestPage::OnWorkerNotification(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case WN_ANIMATE:
            ShowAnimation();
            break;
        case WN_PROGRESS_START:
            ShowProgressBar();
            break;
        case WN_PROGRESS:
            SetProgressPosition(static_cast<int>(static_cast<LONG>(lParam)));
            break;
        case WN_ASK_NOT_CONNECTED:
            AnswerWorker(IDS_NOT_CONNECTED, MB_OK | MB_ICONINFORMATION);
            break;
        case WN_DONE:
            PressNext();
            break;
        default:
            break;
    }
    return 0;
}

void CPortTestPage::OnWorkerNotStarted(DWORD dwError) {
    int nTitleId = 0;
    int nBodyId = 0;
    int nFooterId = 0;
    int nError = 0;
    CSetupDlg::GetWorkerOutcome(&nTitleId, &nBodyId, &nFooterId, &nError);
    if (nError == 0) {
        StoreFailure(dwError);
    }
}
