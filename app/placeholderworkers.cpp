// Stand-in bodies for the port tests, whose stage is not built yet. Each ends its stage as failed
// with ERROR_CALL_NOT_IMPLEMENTED, never with a success it did not earn, and keeps to the rule that
// a port test skips itself after an earlier failure.
#include "app/dantepage.h"
#include "app/setupdlg.h"
#include "app/testingpage.h"
#include "app/workernotification.h"

namespace {

UINT NotImplemented(CProgressPage* page) {
    int title = 0;
    int body = 0;
    int footer = 0;
    int error = 0;
    page->GetSetupDlg()->GetWorkerOutcome(&title, &body, &footer, &error);
    if (error == 0) {
        page->StoreFailure(ERROR_CALL_NOT_IMPLEMENTED);
    }
    NotifyPage(page, WN_DONE);
    return 0;
}

}  // namespace

UINT CTestingPage::UsbTestWorker() {
    return NotImplemented(this);
}

UINT CDantePage::DanteTestWorker() {
    return NotImplemented(this);
}
