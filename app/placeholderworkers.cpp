// Stand-in bodies for the workers whose stages are not built yet. Each ends its stage as failed
// with ERROR_CALL_NOT_IMPLEMENTED, never with a success it did not earn; a port test also keeps to
// the rule that it skips itself after an earlier failure.
#include "app/dantepage.h"
#include "app/installingpage.h"
#include "app/setupdlg.h"
#include "app/testingpage.h"
#include "app/workernotification.h"

namespace {

UINT NotImplemented(CProgressPage* page, bool skipAfterFailure) {
    int title = 0;
    int body = 0;
    int footer = 0;
    int error = 0;
    page->GetSetupDlg()->GetWorkerOutcome(&title, &body, &footer, &error);
    if (!skipAfterFailure || error == 0) {
        page->StoreFailure(ERROR_CALL_NOT_IMPLEMENTED);
    }
    NotifyPage(page, WN_DONE);
    return 0;
}

}  // namespace

UINT CInstallingPage::UpdateWorker() {
    return NotImplemented(this, false);
}

UINT CTestingPage::UsbTestWorker() {
    return NotImplemented(this, true);
}

UINT CDantePage::DanteTestWorker() {
    return NotImplemented(this, true);
}
