// The two port tests, as their pages' workers run them: each opens the mixer in application mode,
// tests one port and stores its outcome through the site.
#pragma once

#include "stages/workersite.h"

// The USB audio port: the mixer's test signal captured from its own capture device.
void RunUsbTest(CWorkerSite& site);
// The Dante serial port: the link's error counter read twice, five seconds apart.
void RunDanteTest(CWorkerSite& site);
