// How both port tests begin: nothing to do after an earlier stage failed; otherwise the busy
// animation, the mixer opened in application mode, the progress bar, and without a mixer the
// not-connected question, asked even in quiet mode.
#pragma once

#include <memory>

#include "device/vantorhid.h"
#include "stages/workersite.h"

enum class PortTestOpening {
    Skipped,  // an earlier stage failed: Done is sent, the outcome stays as it is
    NoMixer,  // the person has answered the not-connected box
    Ready,    // *pMixer is open
};

PortTestOpening OpenPortTest(CWorkerSite& site, std::unique_ptr<CVantorHid>* pMixer);
