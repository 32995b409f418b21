#include "porttest/porttestopening.h"

#include "app/setupdlg.h"
#include "app/workernotification.h"
#include "device/mixerids.h"

PortTestOpening OpenPortTest(CProgressPage& page, LONG volatile* pAnswer, int* pnPreviousBody,
                             std::unique_ptr<CVantorHid>* pMixer) {
    int title = 0;
    int footer = 0;
    int error = 0;
    CSetupDlg::GetWorkerOutcome(&title, pnPreviousBody, &footer, &error);
    if (error != 0) {
        NotifyPage(&page, WN_DONE);  // nothing to test
        return PortTestOpening::Skipped;
    }
    NotifyPage(&page, WN_ANIMATE);
    try {
        *pMixer = std::make_unique<CVantorHid>(VENDOR_ID, PRODUCT_ID_RUN, 0);
    } catch (...) {
        pMixer->reset();
    }
    NotifyPage(&page, WN_PROGRESS_START);
    if (!*pMixer) {
        // The tests do not look at quiet mode: they ask whenever they find no mixer.
        AskUser(&page, pAnswer, WN_ASK_NOT_CONNECTED);
        return PortTestOpening::NoMixer;
    }
    return PortTestOpening::Ready;
}
