// What a stage's worker may do to the page that runs it, and nothing more: tell it how the work
// goes, ask the person through it and wait for the answer, read the quiet switch, and store the
// stage's outcome for the finish page. The page is the site; tests pass a recorder. A worker
// reaches no window of its own accord, and nothing else of the wizard.
#pragma once

#include "platform/win32api.h"

// What a worker may put to the person through its page.
enum class WorkerQuestion {
    NotConnected,  // no mixer: the page asks the person
    BadImage,      // a firmware image was rejected: the page tells the person
};

class CWorkerSite {
public:
    virtual ~CWorkerSite() = default;

    // How the work goes, each handed to the page without waiting for the page to take it.
    // Busy without measurable progress: the animation plays.
    virtual void Animate() = 0;
    // Measurable work begins: the progress bar at 0.
    virtual void StartProgress() = 0;
    virtual void Progress(LONG value) = 0;
    // A long step without measurable progress begins (on) or ends (off).
    virtual void Marquee(bool on) = 0;
    // The outcome is stored: the page moves on. The worker's last act.
    virtual void Done() = 0;

    // Puts the question to the person and waits, for as long as the person takes, for the button
    // that closed the box. An answer left from an earlier box never counts.
    virtual LONG Ask(WorkerQuestion question) = 0;
    // Whether the wizard runs without questions (-quiet).
    virtual bool IsQuiet() const = 0;

    // The outcome as the stage found it: whether a stage before it failed.
    virtual bool EarlierStageFailed() const = 0;
    // The stage's outcome, stored as a whole; Done follows. Success is the stage's own texts;
    // a failure carries its Win32 error code (never 0: to a caller, 0 is success).
    virtual void StoreSuccess() = 0;
    virtual void StoreFailure(DWORD dwError) = 0;
};
