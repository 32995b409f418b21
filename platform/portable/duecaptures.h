// Captures on the virtual clock. A capture's buffer is filled by its audio thread, which watches
// the process clock; when Sleep moves virtual time past the moment a buffer is full, the thread has
// to get its turn before the sleeper looks at the buffer, or a poller that sleeps in steps could
// run past its time-out before the audio thread ever saw the clock move.
#pragma once

#include "platform/portable/win32types.h"

namespace portable {

// Returns once every running capture has returned the buffers that are full by `now`, or after a
// second of real time, so that a stalled audio thread cannot hang the caller. For the virtual
// Sleep, after it has moved the clock.
void WaitForDueCaptures(DWORD now);

}  // namespace portable
