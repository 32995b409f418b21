// The status words the mixer answers on its command channel, as both ends of the channel name them:
// the wizard's stages wait for them, the simulated mixer gives them.
#pragma once

#include "platform/win32api.h"

// A write or verify pass is open: data blocks may follow.
const DWORD STATUS_PASS_OPEN = 0;
// Still working on the last command or block: ask again.
const DWORD STATUS_BUSY = 1;
// The command is unknown or not allowed now, or a block came outside a pass.
const DWORD STATUS_REJECTED = 2;
// A verified block or pass differs from what the flash holds.
const DWORD STATUS_MISMATCH = 3;
// The command or block is done.
const DWORD STATUS_DONE = 4;
