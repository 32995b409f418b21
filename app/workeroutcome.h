// The outcome of the last stage that ran: the finish page's title, body and footer string ids
// (0: keep the template's text) and the Win32 error code (0: success). Process-wide; a worker
// stores it as a whole just before its WN_DONE, the next worker and the finish page read it after.
#pragma once

struct WorkerOutcome {
    int nTitleId = 0;
    int nBodyId = 0;
    int nFooterId = 0;
    int nError = 0;
};
