// The update page: runs the firmware update and shows its progress, on the page and on the taskbar.
#pragma once

#include "app/progresspage.h"

class CInstallingPage : public CProgressPage {
public:
    CInstallingPage();
    LPCSTR GetLogName() const override { return "update"; }

    UINT RunWorker() override { return UpdateWorker(); }
    // The firmware update, on the page's worker thread.
    UINT UpdateWorker();

    LRESULT OnWorkerNotification(WPARAM wParam, LPARAM lParam) override;

private:
    void SetTaskbarState(TBPFLAG state);
};
