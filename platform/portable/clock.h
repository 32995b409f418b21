// The process clock behind Sleep and timeGetTime. Real by default; a test or the simulator can make
// it virtual, so that Sleep advances the time at once and fixed waits cost nothing.
#pragma once

#include "platform/portable/win32types.h"

namespace portable {

void UseVirtualClock();
void UseRealClock();
bool IsClockVirtual();

}  // namespace portable
