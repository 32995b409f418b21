// What a stage's worker may do to the page that runs it, and nothing more: tell it how the work
// goes, ask the person through it and wait for the answer, read the quiet switch, and store the
// stage's outcome for the finish page. The page is the site; tests pass a recorder. A worker
// reaches no window of its own accord, and nothing else of the wizard.
#pragma once

#include "platform/win32api.h"

// The notifications a worker sends, with a value only for WN_PROGRESS.
enum WorkerNotification : UINT {
    WN_ANIMATE = 0,            // busy without measurable progress: the animation plays
    WN_PROGRESS_START = 1,     // measurable work begins: the progress bar at 0
    WN_PROGRESS = 2,           // the value is the new progress
    WN_ASK_NOT_CONNECTED = 3,  // no mixer: the page asks the person
    WN_DONE = 4,               // the outcome is stored: move on; the worker's last act
    WN_ASK_BAD_IMAGE = 5,      // a firmware image was rejected: the page tells the person
    WN_MARQUEE_ON = 6,         // a long step without measurable progress
    WN_MARQUEE_OFF = 7,
};

class CWorkerSite {
public:
    virtual ~CWorkerSite() = default;

    // Hands a notification to the page without waiting for the page to take it.
    virtual void Notify(UINT code, LONG value = 0) = 0;
    // Sends WN_ASK_NOT_CONNECTED or WN_ASK_BAD_IMAGE and waits, for as long as the person takes,
    // for the button that closed the box. An answer left from an earlier box never counts.
    virtual LONG Ask(UINT code) = 0;
    // Whether the wizard runs without questions (-quiet).
    virtual bool IsQuiet() const = 0;

    // The outcome as the stage found it: whether a stage before it failed.
    virtual bool EarlierStageFailed() const = 0;
    // The stage's outcome, stored as a whole; WN_DONE follows. Success is the stage's own texts;
    // a failure carries its Win32 error code (never 0: to a caller, 0 is success).
    virtual void StoreSuccess() = 0;
    virtual void StoreFailure(DWORD dwError) = 0;
};
