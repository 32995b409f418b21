// The notifications a progress page posts itself for its worker's site calls (WM_APP, with the
// code in wParam and a value only for WN_PROGRESS): the worker's thread never touches the page's
// windows, the page's own thread acts on them.
#pragma once

#include "platform/win32api.h"

enum WorkerNotification : UINT {
    WN_ANIMATE = 0,            // Animate
    WN_PROGRESS_START = 1,     // StartProgress
    WN_PROGRESS = 2,           // Progress: lParam is the new progress
    WN_ASK_NOT_CONNECTED = 3,  // Ask(NotConnected)
    WN_DONE = 4,               // Done
    WN_ASK_BAD_IMAGE = 5,      // Ask(BadImage)
    WN_MARQUEE_ON = 6,         // Marquee(true)
    WN_MARQUEE_OFF = 7,        // Marquee(false)
};
