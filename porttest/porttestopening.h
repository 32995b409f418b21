// How both port tests begin: nothing to do after an earlier stage failed; otherwise the busy
// animation, the mixer opened in application mode, the progress bar, and without a mixer the
// not-connected question, asked even in quiet mode.
#pragma once

#include <memory>

#include "app/progresspage.h"
#include "device/vantorhid.h"

enum class PortTestOpening {
    Skipped,  // an earlier stage failed: WN_DONE is sent, the record stays as it is
    NoMixer,  // the user has answered the not-connected box
    Ready,    // *pMixer is open
};

// *pnPreviousBody is the body string id of the outcome the test found.
PortTestOpening OpenPortTest(CProgressPage& page, LONG volatile* pAnswer, int* pnPreviousBody,
                             std::unique_ptr<CVantorHid>* pMixer);
