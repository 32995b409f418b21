// The progress pages' worker operations: each runs its stage with the page as the stage's site.
// Kept apart from the pages so that tests can link scripted workers in their place.
#include "app/dantepage.h"
#include "app/installingpage.h"
#include "app/testingpage.h"
#include "resources/resource.h"
#include "stages/porttests.h"
#include "stages/updatestage.h"

UINT CInstallingPage::UpdateWorker() {
    RunUpdateStage(*this, {IDR_CODE_IMAGE, IDR_LOGIC_IMAGE_0800, IDR_LOGIC_IMAGE_0804});
    return 0;
}

UINT CTestingPage::UsbTestWorker() {
    RunUsbTest(*this);
    return 0;
}

UINT CDantePage::DanteTestWorker() {
    RunDanteTest(*this);
    return 0;
}
