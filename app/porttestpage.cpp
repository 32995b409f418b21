#include "app/porttestpage.h"

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
    if (!EarlierStageFailed()) {
        StoreFailure(dwError);
    }
}
