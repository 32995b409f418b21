#include "app/installingpage.h"

#include "app/setupdlg.h"
#include "app/workeranswers.h"
#include "resources/resource.h"

CInstallingPage::CInstallingPage()
    : CProgressPage(IDD_INSTALLING, IDS_UPDATE_TITLE, IDS_UPDATE_SUBTITLE, &UpdateAnswer,
                    IDS_UPDATE_FAILED_TITLE, IDS_UPDATE_FAILED_TEXT) {}

void CInstallingPage::SetTaskbarState(TBPFLAG state) {
    CSetupDlg* sheet = GetSetupDlg();
    if (sheet->m_pTaskbarList != nullptr) {
        sheet->m_pTaskbarList->SetProgressState(sheet->GetSafeHwnd(), state);
    }
}

LRESULT CInstallingPage::OnWorkerNotification(WPARAM wParam, LPARAM lParam) {
    CSetupDlg* sheet = GetSetupDlg();
    ITaskbarList3* taskbar = sheet->m_pTaskbarList;
    switch (wParam) {
        case WN_ANIMATE:
            ShowAnimation();
            SetTaskbarState(TBPF_INDETERMINATE);
            break;
        case WN_PROGRESS_START:
            ShowProgressBar();
            SetTaskbarState(TBPF_NORMAL);
            if (taskbar != nullptr) {
                taskbar->SetProgressValue(sheet->GetSafeHwnd(), 0, 100);
            }
            break;
        case WN_PROGRESS: {
            // The worker counts 0 to 200 over both images; the bar shows half of it. An unchanged
            // position is skipped, so a notification per block never floods the taskbar.
            const int position = static_cast<int>(static_cast<LONG>(lParam)) / 2;
            if (GetDlgItem(IDC_PROGRESS)->SendMessage(PBM_GETPOS, 0, 0) == position) {
                break;
            }
            SetProgressPosition(position);
            if (taskbar != nullptr) {
                taskbar->SetProgressValue(sheet->GetSafeHwnd(),
                                          static_cast<ULONGLONG>(static_cast<long long>(position)),
                                          100);
            }
            break;
        }
        case WN_ASK_NOT_CONNECTED:
            SetTaskbarState(TBPF_NOPROGRESS);
            AnswerWorker(IDS_NOT_CONNECTED, MB_OK | MB_ICONINFORMATION);
            break;
        case WN_DONE:
            SetTaskbarState(TBPF_NOPROGRESS);
            if (taskbar != nullptr) {
                // No later page shows taskbar progress.
                taskbar->Release();
                sheet->m_pTaskbarList = nullptr;
            }
            PressNext();
            break;
        case WN_ASK_BAD_IMAGE:
            SetTaskbarState(TBPF_NOPROGRESS);
            AnswerWorker(IDS_BAD_IMAGE, MB_OK | MB_ICONEXCLAMATION);
            break;
        case WN_MARQUEE_ON: {
            CWnd* progress = GetDlgItem(IDC_PROGRESS);
            progress->ModifyStyle(0, PBS_MARQUEE);
            progress->SendMessage(PBM_SETMARQUEE, TRUE, 0);
            SetTaskbarState(TBPF_INDETERMINATE);
            break;
        }
        case WN_MARQUEE_OFF: {
            CWnd* progress = GetDlgItem(IDC_PROGRESS);
            progress->SendMessage(PBM_SETMARQUEE, FALSE, 0);
            progress->ModifyStyle(PBS_MARQUEE, 0);
            SetTaskbarState(TBPF_NORMAL);
            break;
        }
        default:
            break;
    }
    return 0;
}
