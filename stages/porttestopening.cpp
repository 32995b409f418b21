#include "stages/porttestopening.h"

#include "device/mixerids.h"

PortTestOpening OpenPortTest(CWorkerSite& site, std::unique_ptr<CVantorHid>* pMixer) {
    if (site.EarlierStageFailed()) {
        site.Done();  // nothing to test
        return PortTestOpening::Skipped;
    }
    site.Animate();
    try {
        *pMixer = std::make_unique<CVantorHid>(VENDOR_ID, PRODUCT_ID_RUN, 0);
    } catch (...) {
        pMixer->reset();
    }
    site.StartProgress();
    if (!*pMixer) {
        // The tests do not look at quiet mode: they ask whenever they find no mixer.
        site.Ask(WorkerQuestion::NotConnected);
        return PortTestOpening::NoMixer;
    }
    return PortTestOpening::Ready;
}
