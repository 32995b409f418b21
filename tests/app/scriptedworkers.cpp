#include "tests/app/scriptedworkers.h"

#include "app/setupdlg.h"
#include "app/workeranswers.h"

WorkerScripts& Workers() {
    static WorkerScripts scripts;
    return scripts;
}

void Succeed(CProgressPage& page, int bodyId) {
    CSetupDlg::SetWorkerOutcome(0, bodyId, 0, 0);
    page.Done();
}

// The stages' worker operations, linked in place of the real ones.
UINT CInstallingPage::UpdateWorker() {
    ++Workers().started;
    if (Workers().update) {
        Workers().update(*this);
    } else {
        Succeed(*this);
    }
    return 0;
}

UINT CTestingPage::UsbTestWorker() {
    ++Workers().started;
    if (Workers().usbTest) {
        Workers().usbTest(*this);
    } else {
        Succeed(*this);
    }
    return 0;
}

UINT CDantePage::DanteTestWorker() {
    ++Workers().started;
    if (Workers().danteTest) {
        Workers().danteTest(*this);
    } else {
        Succeed(*this);
    }
    return 0;
}
