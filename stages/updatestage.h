// The firmware update, as the update page's worker runs it: the mixer into update mode, the code
// image and then the logic image written and verified block by block, the mixer restarted, and the
// outcome stored through the site.
#pragma once

#include "platform/win32api.h"
#include "stages/workersite.h"

// Where the program keeps its images: RCDATA resource ids of its own module. The logic image is
// chosen by the update identity the mixer answers under (0x0800 or 0x0804).
struct FirmwareImageIds {
    WORD code;
    WORD logic0800;
    WORD logic0804;
};

void RunUpdateStage(CWorkerSite& site, const FirmwareImageIds& images);
