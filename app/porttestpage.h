// What the USB and Dante test pages share: the same reaction to their worker's notifications,
// without halving, without the taskbar, and without the codes only the update sends.
#pragma once

#include "app/progresspage.h"

class CPortTestPage : public CProgressPage {
public:
    using CProgressPage::CProgressPage;

    LRESULT OnWorkerNotification(WPARAM wParam, LPARAM lParam) override;
    // A test worker skips its test after an earlier failure, so a test that could not start
    // leaves that failure as the outcome.
    void OnWorkerNotStarted(DWORD dwError) override;
};
