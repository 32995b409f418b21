#include "stages/porttestopening.h"

#include "device/mixerids.h"

PortTestOpening OpenPortTest(CWorkerSite& site, std::unique_ptr<CVantorHid>* pMixer) {
    if (site.EarlierStageFailed()) {
        site.Notify(WN_DONE);  // nothing to test
        return PortTestOpening::Skipped;
    }
    site.Notify(WN_ANIMATE);
    try {
        *pMixer = std::make_unique<CVantorHid>(VENDOR_ID, PRODUCT_ID_RUN, 0);
    } catch (...) {
        pMixer->reset();
    }
    site.Notify(WN_PROGRESS_START);
    if (!*pMixer) {
        // The tests do not look at quiet mode: they ask whenever they find no mixer.
        site.Ask(WN_ASK_NOT_CONNECTED);
        return PortTestOpening::NoMixer;
    }
    return PortTestOpening::Ready;
}
